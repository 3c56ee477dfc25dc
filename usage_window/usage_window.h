#pragma once

#include "runtime/window_description.h"

namespace usage_window {

// Three annotated pictures that explain searching, a link to the maker's site
// and the author credit. Built afresh on every opening.
extern const rt::WindowDescription description;

// Handler of "使用说明": shows the usage window modally and returns once it is closed.
void usage_action();

}  // namespace usage_window
