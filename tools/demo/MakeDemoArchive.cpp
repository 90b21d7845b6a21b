// orvanel-make-demo: writes the sample archive to the path given.

#include "tools/demo/DemoArchive.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    // An option is never taken for the output path: "--help" prints the usage instead of
    // leaving an archive named after it.
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "Usage: orvanel-make-demo OUTPUT.dat\n");
        return argc == 2 && std::string_view(argv[1]) == "--help" ? 0 : 2;
    }
    if (!orvanel::demo::WriteDemoArchive(argv[1])) {
        std::fprintf(stderr, "orvanel-make-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
