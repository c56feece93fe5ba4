// SPDX-License-Identifier: MIT
// hvezda-picgen OUTDIR [NAME...]: draws the game's pictures into OUTDIR as BMP
// files, and the desktop icons as PNG files. With names, only those pictures
// are drawn.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "pictures.h"
#include "png.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: hvezda-picgen OUTDIR [NAME...]\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        std::cerr << "hvezda-picgen: cannot create " << out << ": " << ec.message() << "\n";
        return 1;
    }
    int drawn = 0;
    for (const pg::PictureDef& def : pg::allPictures()) {
        if (argc > 2) {
            bool wanted = false;
            for (int i = 2; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], def.name) == 0;
            if (!wanted) continue;
        }
        pg::Canvas canvas(def.width, def.height);
        def.draw(canvas);
        const std::string path = (out / (std::string(def.name) + (def.transparent ? ".png" : ".bmp"))).string();
        const std::vector<std::uint8_t> file =
            def.transparent ? pg::encodePng(canvas.resolveTransparent()) : pg::encodeBmp(canvas.resolve());
        if (file.empty() || !pg::writeFile(path, file)) {
            std::cerr << "hvezda-picgen: cannot write " << path << "\n";
            return 1;
        }
        ++drawn;
    }
    if (argc > 2 && drawn != argc - 2) {
        std::cerr << "hvezda-picgen: unknown picture name\n";
        return 2;
    }
    return 0;
}
