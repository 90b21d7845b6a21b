#include "tools/cli/TerminalPrompts.h"

#include <cstdio>

namespace orvanel::cli {

void CTerminalPrompts::Inform(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool CTerminalPrompts::AskYesNo(const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", text.c_str(),
        m_answerYes ? "Answered Yes (--force)." : "Answered No (use --force to answer Yes).");
    return m_answerYes;
}

} // namespace orvanel::cli
