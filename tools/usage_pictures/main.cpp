// Composes the three usage pictures from the raw captures and writes them as baseline JPEG:
//   usage_pictures <captures folder> <resources folder>
// The output depends only on the captures and this program, so running it again gives the
// same files. capture.sh says how to take new captures.

#include <exception>
#include <filesystem>
#include <iostream>

#include "jpeg_file.h"
#include "usage_pictures.h"

namespace fs = std::filesystem;
using namespace usage_pictures;

namespace {

constexpr int kJpegQuality = 90;

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <captures folder> <resources folder>\n";
        return 2;
    }
    const Captures captures = Captures::load(argv[1]);
    const fs::path resources = argv[2];
    fs::create_directories(resources);
    write_baseline_jpeg(compose_search_picture(captures).get(), resources / "usage_picture_1.jpg",
                        kJpegQuality);
    write_baseline_jpeg(compose_expand_picture(captures).get(), resources / "usage_picture_2.jpg",
                        kJpegQuality);
    write_baseline_jpeg(compose_play_picture(captures).get(), resources / "usage_picture_3.jpg",
                        kJpegQuality);
    return 0;
} catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << "\n";
    return 1;
}
