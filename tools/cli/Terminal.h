#pragma once
// What the command-line tool needs of the terminal: whether a stream is one, a progress bar,
// and text made safe to print on it.

#include <cstddef>
#include <cstdio>
#include <string>

namespace orvanel::cli {

bool IsTerminal(std::FILE* stream);

// Control characters other than line feed and tab shown as '.', so that stored bytes
// printed on a terminal cannot drive it.
std::string TerminalSafe(const std::string& text);

// Draws "[#####     ] done/total" on stderr, redrawn in place; ends the line when done.
void DrawProgress(size_t done, size_t total);

} // namespace orvanel::cli
