#pragma once

// The visual-style library: the program's own look for push buttons, check and
// radio buttons, group boxes, edit boxes, combo boxes and spin controls.
namespace rt {

// 1, 2 or 3: every eligible control of the GUI thread, existing or created
// later, is drawn in that colour scheme; result true. Any other number gives
// every restyled control its own look back; result false.
bool apply_visual_style(int scheme);

// The scheme number last applied; 1 before any call.
int visual_style_scheme();

}  // namespace rt
