#pragma once

#include "cairo_handles.h"

namespace usage_pictures {

// The search window's capture: the window's frame at the left, then a strip of the desktop.
struct WindowCapture {
    cairo_surface_t* image;
    int frame_width;  // the window with its frame; the desktop strip lies right of it
};

// Makes the captured search window look as if it were `narrow_width` pixels wide and had no
// "使用说明" button, keeping the desktop strip at its right:
//  - the title bar keeps its icon at the left and its buttons at the right, and its title moves
//    left by half the width taken away, so that it stays centred as the window manager draws it;
//  - below the title bar, everything right of the "搜索" button up to the end of "使用说明" is
//    taken out; what is left at the right is the plain face colour, the web view's white and the
//    frame's edge, which join the left part seamlessly.
Surface narrow_window(const WindowCapture& capture, int narrow_width);

}  // namespace usage_pictures
