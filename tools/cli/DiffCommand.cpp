// orvanel-cli diff: what a newer archive added, removed and changed against an older one.
// Exit status as diff(1) gives it: 0 when nothing differs, 1 when something does, 2 for
// trouble (an archive that cannot be read, or files that could not be saved).

#include "archive/ArchiveCompare.h"
#include "archive/DATArchive.h"
#include "content/CompareText.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExportFolder.h"
#include "tools/cli/TerminalPrompts.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace orvanel::cli {

CLI::App* AddDiffCommand(CLI::App& app, DiffOptions& options, const CLI::Validator& path)
{
    CLI::App* command = app.add_subcommand("diff",
        "print the files NEW added, removed and changed against OLD, and a line of counts "
        "(exit status 1 when anything differs)");
    command->add_option("OLD", options.oldArchive, "the older archive")
        ->required()
        ->check(path)
        ->type_name("PATH");
    command->add_option("NEW", options.newArchive, "the newer archive")
        ->required()
        ->check(path)
        ->type_name("PATH");
    command
        ->add_option("--export", options.folder,
            "also save the added and changed files of NEW into FOLDER, as export does")
        ->check(path)
        ->type_name("FOLDER");
    AddFormatOption(*command, options.format)->needs("--export");
    return command;
}

CLI::Option* AddFormatOption(CLI::App& command, ExportFormat& format)
{
    return command
        .add_option_function<std::string>(
            "--format",
            [&format](
                const std::string& name) { format = name == "png" ? ExportFormat::PNG : ExportFormat::BMP; },
            "write pictures (textures and colour tables) as bmp, or as png with their own alpha "
            "(default: bmp); sounds, texts and raw files are the same either way")
        ->check(CLI::IsMember({"bmp", "png"}))
        ->type_name("bmp|png");
}

int RunDiff(const DiffOptions& options)
{
    if (!options.folder.empty() && !PrepareExportFolder("diff", options.folder))
        return kExitUsage;

    CTerminalPrompts prompts(options.force);
    CNoBusyIndicator busy;
    CDATArchive oldArchive(options.oldArchive, prompts, busy);
    if (!oldArchive.BuildCatalogue())
        return kExitUsage;
    CDATArchive newArchive(options.newArchive, prompts, busy);
    if (!newArchive.BuildCatalogue())
        return kExitUsage;

    const auto differences = CompareArchives(oldArchive, newArchive);
    if (!differences) {
        std::fprintf(stderr, "orvanel-cli diff: out of memory\n");
        return kExitUsage;
    }
    for (const std::string& line : DifferenceLines(*differences, oldArchive, newArchive))
        std::printf("%s\n", line.c_str());
    std::printf("%s\n", DifferenceSummary(*differences).c_str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return kExitUsage;

    if (!options.folder.empty()) {
        DATEntryList saved;
        for (const FileDifference& file : differences->files) {
            if (file.newEntry)
                saved.push_back(file.newEntry);
        }
        if (!SaveIntoFolder(newArchive, saved, options.folder, options.format))
            return kExitUsage;
    }
    return differences->Any() ? kExitFailed : kExitOk;
}

} // namespace orvanel::cli
