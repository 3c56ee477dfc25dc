#include "runtime/jpeg_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<unsigned char>;

struct Rgb {
    std::uint8_t r, g, b;
};

using PixelSource = std::function<Rgb(int x, int y)>;

enum class Encoding { baseline, progressive, grey, cmyk };

// Pictures for the decoder are made here with libjpeg's own compressor, so every fixture is
// exactly as big as the test needs and documents what it holds.
Bytes encode_jpeg(int width, int height, const PixelSource& pixel_at,
                  Encoding encoding = Encoding::baseline) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    switch (encoding) {
        case Encoding::grey:
            info.input_components = 1;
            info.in_color_space = JCS_GRAYSCALE;
            break;
        case Encoding::cmyk:
            info.input_components = 4;
            info.in_color_space = JCS_CMYK;
            break;
        default:
            info.input_components = 3;
            info.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (encoding == Encoding::progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);

    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * info.input_components));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = pixel_at(x, y);
            JSAMPLE* out = &row[static_cast<std::size_t>(x * info.input_components)];
            if (encoding == Encoding::grey) {
                out[0] = pixel.r;
            } else if (encoding == Encoding::cmyk) {
                out[0] = pixel.r, out[1] = pixel.g, out[2] = pixel.b, out[3] = 0;
            } else {
                out[0] = pixel.r, out[1] = pixel.g, out[2] = pixel.b;
            }
        }
        JSAMPROW row_pointer = row.data();
        jpeg_write_scanlines(&info, &row_pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

constexpr Rgb red{220, 30, 30};
constexpr Rgb green{30, 180, 60};
constexpr Rgb blue{40, 60, 220};
constexpr Rgb white{255, 255, 255};
constexpr Rgb orange{240, 140, 30};

// Four differently coloured quadrants: a picture decoded upside down, mirrored or with the
// colour channels swapped shows it.
Rgb quadrants_of_32(int x, int y) {
    if (y < 16) return x < 16 ? red : green;
    return x < 16 ? blue : white;
}

// Noise makes the scan data long enough to cut it at several places.
Rgb noisy(int x, int y) {
    const auto value = static_cast<std::uint8_t>((x * 37 + y * 101 + x * y * 13) % 256);
    return {value, static_cast<std::uint8_t>(255 - value), static_cast<std::uint8_t>(value / 2)};
}

Rgb pixel_of(const rt::Picture& picture, int x, int y) {
    const auto at = static_cast<std::size_t>((y * picture.width + x) * 3);
    return {picture.rgb[at], picture.rgb[at + 1], picture.rgb[at + 2]};
}

// JPEG is lossy: colours come back close to, not exactly as, they went in.
::testing::AssertionResult is_near(Rgb actual, Rgb expected, int tolerance = 12) {
    auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int{actual.r} << ", " << int{actual.g} << ", " << int{actual.b}
           << "), expected about (" << int{expected.r} << ", " << int{expected.g} << ", "
           << int{expected.b} << ")";
}

// Offset of the first marker segment with the given code before the scan data, found by walking
// the segments as a decoder does.
std::optional<std::size_t> find_segment(const Bytes& bytes, unsigned char code) {
    std::size_t at = 2;  // after the start-of-picture marker
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        if (bytes[at + 1] == code) return at;
        if (bytes[at + 1] == 0xDA) return std::nullopt;  // scan data follows
        at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    return std::nullopt;
}

constexpr unsigned char start_of_frame = 0xC0;
constexpr unsigned char huffman_table = 0xC4;
constexpr unsigned char start_of_scan = 0xDA;

Bytes with_declared_size(Bytes bytes, int width, int height) {
    const std::size_t frame = find_segment(bytes, start_of_frame).value();
    bytes[frame + 5] = static_cast<unsigned char>(height >> 8);
    bytes[frame + 6] = static_cast<unsigned char>(height & 0xFF);
    bytes[frame + 7] = static_cast<unsigned char>(width >> 8);
    bytes[frame + 8] = static_cast<unsigned char>(width & 0xFF);
    return bytes;
}

Bytes cut_to(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

std::size_t scan_start(const Bytes& bytes) {
    return find_segment(bytes, start_of_scan).value();
}

Bytes random_bytes(std::size_t count) {
    std::mt19937 generator(20240611);
    Bytes bytes(count);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(generator());
    return bytes;
}

const Bytes& noisy_baseline() {
    static const Bytes bytes = encode_jpeg(64, 64, noisy);
    return bytes;
}

const Bytes& noisy_progressive() {
    static const Bytes bytes = encode_jpeg(64, 64, noisy, Encoding::progressive);
    return bytes;
}

rt::Picture decode(const Bytes& bytes) {
    return rt::decode_jpeg(bytes);
}

TEST(JpegPicture, DecodesColoursInPlace) {
    for (Encoding encoding : {Encoding::baseline, Encoding::progressive}) {
        const rt::Picture picture = decode(encode_jpeg(32, 32, quadrants_of_32, encoding));
        ASSERT_EQ(picture.width, 32);
        ASSERT_EQ(picture.height, 32);
        EXPECT_TRUE(is_near(pixel_of(picture, 8, 8), red));
        EXPECT_TRUE(is_near(pixel_of(picture, 24, 8), green));
        EXPECT_TRUE(is_near(pixel_of(picture, 8, 24), blue));
        EXPECT_TRUE(is_near(pixel_of(picture, 24, 24), white));
    }
}

// Sizes that are no multiple of the 8- or 16-pixel blocks, and the largest accepted side, catch
// rows laid out with the wrong length.
TEST(JpegPicture, DecodesEverySizeToThreeBytesAPixel) {
    struct Size {
        int width, height;
    };
    for (Size size : {Size{1, 1}, Size{13, 7}, Size{7, 13}, Size{100, 3}, Size{16384, 2}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        const rt::Picture picture =
            decode(encode_jpeg(size.width, size.height, [](int, int) { return orange; }));
        ASSERT_EQ(picture.width, size.width);
        ASSERT_EQ(picture.height, size.height);
        ASSERT_EQ(picture.rgb.size(), std::size_t(size.width) * size.height * 3);
        EXPECT_TRUE(is_near(pixel_of(picture, 0, 0), orange));
        EXPECT_TRUE(is_near(pixel_of(picture, size.width - 1, size.height - 1), orange));
    }
}

TEST(JpegPicture, GreyPictureComesOutAsRgb) {
    const rt::Picture picture = decode(encode_jpeg(
        8, 8,
        [](int, int) {
            return Rgb{128, 0, 0};
        },
        Encoding::grey));
    ASSERT_EQ(picture.rgb.size(), 8u * 8 * 3);
    EXPECT_TRUE(is_near(pixel_of(picture, 3, 3), Rgb{128, 128, 128}, 2));
}

TEST(JpegPicture, IgnoresBytesAfterTheEndMarker) {
    Bytes bytes = encode_jpeg(32, 32, quadrants_of_32);
    bytes.insert(bytes.end(), {0x00, 0x12, 0xFF, 0xD8, 0x34});
    const rt::Picture picture = decode(bytes);
    ASSERT_EQ(picture.width, 32);
    EXPECT_TRUE(is_near(pixel_of(picture, 24, 24), white));
}

struct BrokenInput {
    std::string name;
    std::function<Bytes()> make;
};

// None of these is a whole picture; each must give an empty one, quietly and without leaks
// (run under valgrind or the sanitizers to see the latter).
TEST(JpegPicture, BrokenInputGivesEmptyPicture) {
    const std::vector<BrokenInput> cases = {
        {"nothing", [] { return Bytes{}; }},
        {"random bytes", [] { return random_bytes(200); }},
        {"start marker only",
         [] {
             return Bytes{0xFF, 0xD8};
         }},
        {"start marker then random bytes",
         [] {
             Bytes bytes = random_bytes(200);
             bytes[0] = 0xFF, bytes[1] = 0xD8;
             return bytes;
         }},
        {"cut in the header", [] { return cut_to(noisy_baseline(), 30); }},
        {"cut before the scan",
         [] { return cut_to(noisy_baseline(), scan_start(noisy_baseline())); }},
        {"cut in the middle of the scan",
         [] {
             const Bytes& whole = noisy_baseline();
             return cut_to(whole, (scan_start(whole) + whole.size()) / 2);
         }},
        {"cut just before the last rows",
         [] { return cut_to(noisy_baseline(), noisy_baseline().size() - 40); }},
        {"end marker missing",
         [] { return cut_to(noisy_baseline(), noisy_baseline().size() - 2); }},
        {"progressive, cut in a later scan",
         [] { return cut_to(noisy_progressive(), noisy_progressive().size() * 3 / 4); }},
        {"start marker damaged",
         [] {
             Bytes bytes = noisy_baseline();
             bytes[1] = 0x00;
             return bytes;
         }},
        {"Huffman table marker damaged",
         [] {
             Bytes bytes = noisy_baseline();
             bytes[find_segment(bytes, huffman_table).value() + 1] = 0x00;
             return bytes;
         }},
        {"end marker in the middle of the scan",
         [] {
             Bytes bytes = noisy_baseline();
             const std::size_t middle = (scan_start(bytes) + bytes.size()) / 2;
             bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(middle), {0xFF, 0xD9});
             return bytes;
         }},
        {"declares 20000 x 20000",
         [] { return with_declared_size(noisy_baseline(), 20000, 20000); }},
        {"whole picture 16385 wide", [] { return encode_jpeg(16385, 1, noisy); }},
        {"whole picture 16385 high", [] { return encode_jpeg(1, 16385, noisy); }},
        {"declares zero height", [] { return with_declared_size(noisy_baseline(), 64, 0); }},
        {"four colour channels (CMYK)",
         [] { return encode_jpeg(16, 16, quadrants_of_32, Encoding::cmyk); }},
    };
    for (const BrokenInput& input : cases) {
        SCOPED_TRACE(input.name);
        const rt::Picture picture = decode(input.make());
        EXPECT_TRUE(picture.empty());
        EXPECT_EQ(picture.width, 0);
        EXPECT_EQ(picture.height, 0);
    }
}

}  // namespace
