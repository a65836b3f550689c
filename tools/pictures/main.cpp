// make_pictures OUTDIR [ICON.xpm]: draws every picture the game loads and writes each into OUTDIR,
// and the desktop icon into ICON.xpm when given.
// The build runs it so that the build folder's Images/ holds the game's art; the drawing code is the
// art's only source, and the same code gives the same files on every run.
#include <cstdio>
#include <string>

#include "tools/pictures/icon.h"
#include "tools/pictures/output.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_pictures OUTDIR [ICON.xpm]\n");
        return 2;
    }
    std::string error;
    if (!pictures::WriteAllPictures(argv[1], error)) {
        std::fprintf(stderr, "make_pictures: %s\n", error.c_str());
        return 1;
    }
    if (argc == 3) {
        const std::string icon = pictures::IconXpm();
        std::FILE* file = std::fopen(argv[2], "wb");
        const bool written =
            file != nullptr && !icon.empty() && std::fwrite(icon.data(), 1, icon.size(), file) == icon.size();
        if (file != nullptr && std::fclose(file) != 0) return 1;
        if (!written) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
