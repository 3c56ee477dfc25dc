#include <gtest/gtest.h>

#include "runtime/testing.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    rt::testing::initialise_toolkit();
    return RUN_ALL_TESTS();
}
