#pragma once

#include <gtkmm.h>

#include <span>

namespace rt {

// A box that shows its picture at the picture's own pixel size, its top-left
// pixel on the box's: no scaling, centring or tiling. Box pixels the picture
// does not cover show the face colour; the rest of the picture is cut off. A
// picture that cannot be decoded leaves the face colour only.
class PictureBox : public Gtk::Widget {
  public:
    explicit PictureBox(std::span<const unsigned char> jpeg);
    bool has_picture() const { return static_cast<bool>(picture_); }

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    Cairo::RefPtr<Cairo::ImageSurface> picture_;
};

}  // namespace rt
