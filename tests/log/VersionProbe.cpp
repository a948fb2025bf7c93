// A program with a version resource: starts its log at the given path, so
// that the start banner carries its file version.
#include "log/KilnLogWrapper.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    KILNLOG.Start(argv[1], 4096);
    return 0;
}
