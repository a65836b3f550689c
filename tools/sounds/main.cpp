// make_sounds OUTDIR: synthesises every sound effect the game loads and writes each into OUTDIR as
// a 16-bit PCM WAV file. The build runs it so that the build folder's Sounds/ holds the game's
// effects; the synthesis code is their only source, and the same code gives the same files.
#include <cstdio>
#include <string>

#include "tools/sounds/wav.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUTDIR\n");
        return 2;
    }
    std::string error;
    if (!sounds::WriteAllSounds(argv[1], error)) {
        std::fprintf(stderr, "make_sounds: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
