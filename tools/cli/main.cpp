// orvanel-cli: the headless tool over the archive core.

#include "tools/cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace orvanel::cli {

namespace {

const Command kCommands[] = {
    {"list", "ARCHIVE [--files] [--force]",
        "print the category lines of an archive (with --files, each list's files)", RunList},
    {"info", "ARCHIVE ID [--force]",
        "print what the viewer shows for version 0 of the file with that hexadecimal ID", RunInfo},
    {"export", "ARCHIVE FOLDER [--line N] [--force] [ID ...]",
        "save files into FOLDER as .bmp, .wav, .txt or .bin: the given IDs (all versions), "
        "the files of list line N, or every file",
        RunExport},
    {"locate", "", "print where the registry says the game is installed and the archive Default opens",
        RunLocate},
};

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : kCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

void PrintHelp(std::FILE* out)
{
    std::fprintf(out,
        "Usage: orvanel-cli COMMAND [ARGUMENTS]\n"
        "Reads Tarnwick DAT archives without changing them.\n\nCommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(out, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    std::fprintf(out,
        "\nOptions:\n  --help      show this help\n  --version   show the version\n"
        "\nExit status: 0 done, 1 failed, 2 wrong usage.\n"
        "--force answers Yes when an archive's recorded size differs from its real size.\n");
}

} // namespace

int UsageError(const char* commandName, const std::string& problem)
{
    const Command* command = FindCommand(commandName);
    std::fprintf(stderr, "orvanel-cli %s: %s\nUsage: orvanel-cli %s %s\n", commandName,
        problem.c_str(), commandName, command ? command->usage : "");
    return kExitUsage;
}

} // namespace orvanel::cli

int main(int argc, char** argv)
{
    using namespace orvanel::cli;
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (first == "--version") {
        std::printf("orvanel-cli %s\n", ORVANEL_VERSION);
        return kExitOk;
    }
    const Command* command = FindCommand(first);
    if (!command) {
        std::fprintf(stderr, "orvanel-cli: unknown command '%s'\n\n", first.c_str());
        PrintHelp(stderr);
        return kExitUsage;
    }
    Args args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: orvanel-cli %s %s\n%s\n", command->name, command->usage,
                command->summary);
            return kExitOk;
        }
    }
    return command->run(args);
}
