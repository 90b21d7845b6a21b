// orvanel-make-demo: writes the sample archive to the path given.

#include "tools/demo/DemoArchive.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: orvanel-make-demo OUTPUT.dat\n");
        return 2;
    }
    if (!orvanel::demo::WriteDemoArchive(argv[1])) {
        std::fprintf(stderr, "orvanel-make-demo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
