#pragma once
// Runs the orvanel-cli binary and captures what it prints.

#include <string>
#include <vector>

namespace orvanel::cli_test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args);

} // namespace orvanel::cli_test
