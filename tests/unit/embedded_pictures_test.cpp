#include <gtest/gtest.h>

#include "program_resources.h"
#include "runtime/jpeg_picture.h"

namespace {

TEST(EmbeddedPictures, EachUsagePictureDecodesAtItsOwnSize) {
    const struct {
        std::span<const unsigned char> jpeg;
        int width, height;
    } pictures[] = {
        {resources::usage_picture_1_jpg, 484, 247},
        {resources::usage_picture_2_jpg, 439, 298},
        {resources::usage_picture_3_jpg, 445, 247},
    };
    for (const auto& picture : pictures) {
        rt::Picture decoded = rt::decode_jpeg(picture.jpeg);
        ASSERT_FALSE(decoded.empty());
        EXPECT_EQ(decoded.width, picture.width);
        EXPECT_EQ(decoded.height, picture.height);
    }
}

}  // namespace
