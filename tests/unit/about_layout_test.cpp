#include <gtest/gtest.h>

#include "platform/about_layout.h"

namespace {

TEST(AboutScreenPlacement, CentresThePictureHalvingEachSizeOnItsOwn) {
    struct Case {
        int screenW, screenH, pictureW, pictureH, x, y;
    };
    const Case cases[] = {
        {1024, 768, 400, 300, 312, 234},
        {1023, 767, 400, 300, 311, 233},
        {1023, 767, 401, 301, 311, 233},  // 511 - 200, 383 - 150: not (1023 - 401) / 2
        {300, 200, 400, 300, -50, -50},   // a screen smaller than the picture
    };
    for (const Case& c : cases) {
        const AboutOrigin at = aboutScreenOrigin(c.screenW, c.screenH, c.pictureW, c.pictureH);
        EXPECT_EQ(at.x, c.x) << c.screenW << "x" << c.screenH << " " << c.pictureW;
        EXPECT_EQ(at.y, c.y) << c.screenW << "x" << c.screenH << " " << c.pictureH;
    }
}

}  // namespace
