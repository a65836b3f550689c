// make_pictures OUTDIR: draws every picture the game loads and writes each into OUTDIR.
// The build runs it so that the build folder's Images/ holds the game's art; the drawing code is the
// art's only source, and the same code gives the same files on every run.
#include <cstdio>
#include <string>

#include "tools/pictures/output.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures OUTDIR\n");
        return 2;
    }
    std::string error;
    if (!pictures::WriteAllPictures(argv[1], error)) {
        std::fprintf(stderr, "make_pictures: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
