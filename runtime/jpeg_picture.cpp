#include "runtime/jpeg_picture.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jerror.h>
#include <jpeglib.h>

namespace rt {
namespace {

// Larger pictures are refused before any pixel memory is reserved: no picture of ours comes
// near this, and a forged header must not make us reserve gigabytes.
constexpr JDIMENSION largest_side = 16384;

// libjpeg reports a fatal error by calling error_exit, which by default ends the process, and
// carries on after damaged data with only a warning. Both come back here through a long jump.
struct ErrorTrap {
    jpeg_error_mgr manager{};
    std::jmp_buf resume_point{};
};

[[noreturn]] void jump_back(j_common_ptr info) {
    auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
    std::longjmp(trap->resume_point, 1);
}

// Warnings that only concern side information; the pixels are still all there.
bool is_harmless_warning(int message_code) {
    return message_code == JWRN_JFIF_MAJOR || message_code == JWRN_ADOBE_XFORM ||
           message_code == JWRN_BOGUS_ICC;
}

// Every other warning means missing or damaged picture data: libjpeg would go on and fill the
// rest with grey, which is not the picture. Trace messages (level >= 0) are ignored.
void fail_on_damage(j_common_ptr info, int message_level) {
    if (message_level < 0 && !is_harmless_warning(info->err->msg_code)) jump_back(info);
}

void ignore_message(j_common_ptr) {}

// Releases the decompressor however decoding ends, including by an exception.
struct DecompressorGuard {
    jpeg_decompress_struct& info;
    ~DecompressorGuard() { jpeg_destroy_decompress(&info); }
};

// Creating the decompressor fails only when memory runs out, which libjpeg reports through
// error_exit like any other error; then there is nothing to release.
bool create_decompressor(jpeg_decompress_struct& info, ErrorTrap& trap) {
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = jump_back;
    trap.manager.emit_message = fail_on_damage;
    trap.manager.output_message = ignore_message;

    if (setjmp(trap.resume_point) != 0) return false;
    jpeg_create_decompress(&info);
    return true;
}

bool has_acceptable_size(const jpeg_decompress_struct& info) {
    return info.image_width > 0 && info.image_height > 0 && info.image_width <= largest_side &&
           info.image_height <= largest_side;
}

// Every decoding call into libjpeg happens here, and a failure jumps back to the setjmp at the
// top. Nothing with a destructor lives in this frame, so the jump skips no clean-up; `picture`
// belongs to the caller, which discards it on failure.
bool run_decoder(jpeg_decompress_struct& info, ErrorTrap& trap,
                 std::span<const unsigned char> bytes, Picture& picture) {
    if (setjmp(trap.resume_point) != 0) return false;

    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (!has_acceptable_size(info)) return false;

    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;

    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    const std::size_t row_size = std::size_t{info.output_width} * 3;
    picture.rgb.resize(row_size * info.output_height);

    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.rgb.data() + row_size * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    // Reads on to the end-of-picture marker, so a file cut off after the last row still fails.
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

Picture decode_jpeg(std::span<const unsigned char> bytes) {
    // An empty buffer would make libjpeg fail anyway; this saves setting it up.
    if (bytes.empty()) return {};

    ErrorTrap trap;
    jpeg_decompress_struct info{};
    if (!create_decompressor(info, trap)) return {};
    DecompressorGuard guard{info};

    Picture picture;
    if (!run_decoder(info, trap, bytes, picture)) return {};
    return picture;
}

}  // namespace rt
