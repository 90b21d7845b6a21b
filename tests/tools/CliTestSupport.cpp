#include "tests/tools/CliTestSupport.h"

#include "writer/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace orvanel::cli_test {

namespace {

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

CliResult RunCli(const std::vector<std::string>& args)
{
    fixture::CTempDir dir;
    std::string command = Quote(ORVANEL_CLI_PATH);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    command += " >" + Quote(dir.File("out")) + " 2>" + Quote(dir.File("err")) + " </dev/null";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = fixture::ReadWholeFile(dir.File("out"));
    result.err = fixture::ReadWholeFile(dir.File("err"));
    return result;
}

} // namespace orvanel::cli_test
