#pragma once
// Runs the orvanel-cli binary and captures what it prints; writes the archives it reads.

#include "writer/ArchiveBuilder.h"
#include "writer/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace orvanel::cli_test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline CliResult RunCli(const std::vector<std::string>& args)
{
    fixture::CTempDir dir;
    std::string command = Quote(ORVANEL_CLI_PATH);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    command += " >" + Quote(dir.File("out")) + " 2>" + Quote(dir.File("err")) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, fixture::ReadWholeFile(dir.File("out")),
        fixture::ReadWholeFile(dir.File("err"))};
}

// Writes an archive of files into dir with small blocks, so that files run over several of
// them, in the tree shape given, with the damage given.
inline std::string WriteArchive(const fixture::CTempDir& dir, const std::string& name,
    const std::vector<writer::FileSpec>& files, writer::TreeShape shape = {},
    const std::function<void(writer::CArchiveBuilder&)>& damage = {})
{
    writer::CArchiveBuilder b(64);
    b.AddFilesAsTree(files, shape);
    if (damage)
        damage(b);
    const std::string path = dir.File(name);
    EXPECT_TRUE(b.WriteFile(path));
    return path;
}

} // namespace orvanel::cli_test
