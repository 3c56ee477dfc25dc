#pragma once

#include "cairo_handles.h"

#include <filesystem>

namespace usage_pictures {

// The raw screenshots the pictures are made from (see capture.sh).
struct Captures {
    Surface window;              // the search window as it starts, with desktop to its right
    Surface results;             // the results page, collapsed
    Surface results_with_plays;  // the same page with the second row's play addresses open

    static Captures load(const std::filesystem::path& folder);
};

// Step 1: type a film name, click "搜索", maximise the window. 484 × 247.
Surface compose_search_picture(const Captures& captures);

// Step 2: open a result's play addresses with its "+". 439 × 298.
Surface compose_expand_picture(const Captures& captures);

// Step 3: click any play address. 445 × 247.
Surface compose_play_picture(const Captures& captures);

}  // namespace usage_pictures
