#pragma once
// The subcommands of orvanel-cli, run once the command line has been parsed. Each returns
// the process exit status.

#include "content/FileKind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
class Validator;
} // namespace CLI

namespace orvanel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
// info only: the file is in the archive, but the viewer has nothing to show for it.
inline constexpr int kExitNotShown = 3;

struct ListOptions {
    std::string archive;
    bool files = false;
    bool force = false;
};

struct InfoOptions {
    std::string archive;
    uint32_t id = 0;
    bool force = false;
};

struct ExportOptions {
    std::string archive;
    std::string folder;
    std::optional<uint32_t> line;
    std::vector<uint32_t> ids;
    // Every file into a sub-folder named by its category line.
    bool byCategory = false;
    ExportFormat format = ExportFormat::BMP;
    bool force = false;
};

struct DiffOptions {
    std::string oldArchive;
    std::string newArchive;
    // Where the added and changed files are saved (pictures in format); empty for none.
    std::string folder;
    ExportFormat format = ExportFormat::BMP;
    bool force = false;
};

// Adds the diff command and its arguments to app, paths checked by path; returns it.
CLI::App* AddDiffCommand(CLI::App& app, DiffOptions& options, const CLI::Validator& path);
// Adds --format (bmp or png, bmp when not given) to command, setting format.
CLI::Option* AddFormatOption(CLI::App& command, ExportFormat& format);

int RunList(const ListOptions& options);
int RunInfo(const InfoOptions& options);
int RunExport(const ExportOptions& options);
int RunLocate();
int RunDiff(const DiffOptions& options);

} // namespace orvanel::cli
