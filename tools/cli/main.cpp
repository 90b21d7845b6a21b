// orvanel-cli: the headless tool over the archive core. One parser holds every command, so
// that the same rules apply to all of them: positional paths, options anywhere after the
// command, --help on each command, and exit status 2 for any wrong usage.

#include "archive/HeapReuse.h"
#include "tools/cli/Commands.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <string>

namespace orvanel::cli {

namespace {

// Rewrites a number written in base (hexadecimal IDs may carry "0x") as plain decimal, the
// form the parser converts; at most maxDigits digits.
CLI::Validator Number(int base, size_t maxDigits, const std::string& what)
{
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            size_t start = 0;
            if (base == 16 && (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0))
                start = 2;
            const char* first = text.data() + start;
            const char* last = text.data() + text.size();
            uint32_t value = 0;
            const auto [end, error] = std::from_chars(first, last, value, base);
            if (first == last || size_t(last - first) > maxDigits || error != std::errc() || end != last)
                return "not " + what + ": " + text;
            text = std::to_string(value);
            return {};
        },
        "", what);
}

// Every command maps its archive from a file and export writes into a folder, so "-" can
// stand for neither standard input nor standard output.
const CLI::Validator kFilePath(
    [](std::string& text) -> std::string {
        return text == "-" ? "'-' is not accepted: give a path (standard input and output are not used)"
                           : std::string();
    },
    "", "path");

void AddArchive(CLI::App& command, std::string& archive)
{
    command.add_option("ARCHIVE", archive, "the DAT archive to read")
        ->required()
        ->check(kFilePath)
        ->type_name("PATH");
}

void AddForce(CLI::App& command, bool& force)
{
    command.add_flag(
        "--force", force, "answer Yes when the archive's recorded size differs from its real size");
}

} // namespace

} // namespace orvanel::cli

int main(int argc, char** argv)
{
    orvanel::KeepFreedMemoryForReuse();
    using namespace orvanel::cli;
    const CLI::Validator hexID = Number(16, 8, "a hexadecimal file ID");

    CLI::App app("Reads Tarnwick DAT archives without changing them.", "orvanel-cli");
    app.set_version_flag("--version", "orvanel-cli " ORVANEL_VERSION);
    app.require_subcommand(1);
    app.footer("Exit status: 0 done, 1 failed, 2 wrong usage, 3 (info) the file cannot be shown;\n"
               "diff: 0 nothing differs, 1 something does, 2 an archive cannot be read or a file not saved.\n"
               "Paths are never '-': archives are mapped from files and export writes into a folder.");

    ListOptions list;
    CLI::App* listCommand = app.add_subcommand(
        "list", "print the category lines of an archive (with --files, each list's files)");
    AddArchive(*listCommand, list.archive);
    listCommand->add_flag(
        "--files", list.files, "follow each line with its files: ID, version, offset, size");
    AddForce(*listCommand, list.force);

    InfoOptions info;
    CLI::App* infoCommand = app.add_subcommand(
        "info", "print what the viewer shows for version 0 of the file with that hexadecimal ID");
    AddArchive(*infoCommand, info.archive);
    infoCommand->add_option("ID", info.id, "the file ID, in hexadecimal")
        ->required()
        ->transform(hexID)
        ->type_name("HEX");
    AddForce(*infoCommand, info.force);

    ExportOptions save;
    uint32_t line = 0;
    CLI::App* exportCommand = app.add_subcommand("export",
        "save files into FOLDER as .bmp (or .png), .wav, .txt or .bin: the given IDs (all versions), "
        "the files of list line N, or every file (with --by-category, into sub-folders)");
    AddArchive(*exportCommand, save.archive);
    exportCommand->add_option("FOLDER", save.folder, "the folder to write into (created when missing)")
        ->required()
        ->check(kFilePath)
        ->type_name("PATH");
    CLI::Option* ids = exportCommand->add_option("ID", save.ids, "file IDs, in hexadecimal")
                           ->transform(hexID)
                           ->type_name("HEX");
    exportCommand->add_option("--line", line, "the line of list whose files are saved (0 for the first)")
        ->transform(Number(10, 10, "a line number"))
        ->type_name("N")
        ->excludes(ids);
    exportCommand
        ->add_flag("--by-category", save.byCategory,
            "save every file into a sub-folder named by its line of list without the count: a texture by "
            "its format's line (06 - 31545844 - DXT1), every other file by its category's (0A - Sounds)")
        ->excludes(ids)
        ->excludes("--line");
    AddFormatOption(*exportCommand, save.format);
    AddForce(*exportCommand, save.force);

    DiffOptions diff;
    CLI::App* diffCommand = AddDiffCommand(app, diff, kFilePath);
    AddForce(*diffCommand, diff.force);

    app.add_subcommand(
        "locate", "print where the registry says the game is installed and the archive Default opens");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? kExitOk : kExitUsage;
    }
    if (listCommand->parsed())
        return RunList(list);
    if (infoCommand->parsed())
        return RunInfo(info);
    if (exportCommand->parsed()) {
        if (exportCommand->count("--line") > 0)
            save.line = line;
        return RunExport(save);
    }
    if (diffCommand->parsed())
        return RunDiff(diff);
    return RunLocate();
}
