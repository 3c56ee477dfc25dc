#include <gtest/gtest.h>

#include "runtime/visual_style_testing.h"

// Display tests make real windows, so the toolkit is set up before any test runs.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    rt::style_testing::initialise_toolkit(argc, argv);
    return RUN_ALL_TESTS();
}
