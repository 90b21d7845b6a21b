#pragma once
// The subcommands of orvanel-cli. Each takes the arguments after its name and returns
// the process exit status: 0 done, 1 failed, 2 wrong usage.

#include <string>
#include <vector>

namespace orvanel::cli {

using Args = std::vector<std::string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;   // the arguments, shown after "orvanel-cli NAME"
    const char* summary; // one line for the command list
    int (*run)(const Args& args);
};

int RunList(const Args& args);
int RunInfo(const Args& args);
int RunExport(const Args& args);
int RunLocate(const Args& args);

// Prints the usage of one command to stderr and returns kExitUsage.
int UsageError(const char* commandName, const std::string& problem);

} // namespace orvanel::cli
