#include "runtime/picture_box.h"

#include <cstdint>

#include "runtime/face_colour.h"
#include "runtime/jpeg_picture.h"

namespace rt {
namespace {

Cairo::RefPtr<Cairo::ImageSurface> to_surface(const Picture& picture) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, picture.width, picture.height);
    surface->flush();
    unsigned char* rows = surface->get_data();
    const int stride = surface->get_stride();
    const std::uint8_t* source = picture.rgb.data();
    for (int y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(rows + y * stride);
        for (int x = 0; x < picture.width; ++x, source += 3) {
            row[x] = (std::uint32_t{source[0]} << 16) | (std::uint32_t{source[1]} << 8) | source[2];
        }
    }
    surface->mark_dirty();
    return surface;
}

}  // namespace

PictureBox::PictureBox(std::span<const unsigned char> jpeg) : Glib::ObjectBase("TavikPictureBox") {
    set_has_window(false);
    Picture picture = decode_jpeg(jpeg);
    if (!picture.empty()) picture_ = to_surface(picture);
}

void PictureBox::get_preferred_width_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void PictureBox::get_preferred_height_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

bool PictureBox::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int width = get_allocated_width();
    const int height = get_allocated_height();
    cr->rectangle(0, 0, width, height);
    cr->clip();
    Rgb face = face_colour();
    cr->set_source_rgb(face.red / 255.0, face.green / 255.0, face.blue / 255.0);
    cr->paint();
    if (picture_) {
        cr->set_source(picture_, 0, 0);
        cr->paint();
    }
    return true;
}

}  // namespace rt
