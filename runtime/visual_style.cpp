#include "runtime/visual_style.h"

// Placeholder until the colour schemes land.
namespace rt {
namespace {
int scheme_number = 1;
}
bool apply_visual_style(int scheme) {
    scheme_number = scheme;
    return scheme >= 1 && scheme <= 3;
}
int visual_style_scheme() { return scheme_number; }
}  // namespace rt
