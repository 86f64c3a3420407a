// The program's double-size art: each drawing loads and is its 96 DPI drawing at twice the size;
// the glyphs keep their transparent colour exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/picture_win.h"

namespace {

TEST(ArtResourcesTest, DoubleSizeDrawingIsTheSingleOneTwiceAsLarge) {
    using Loader = ks::TPicture (*)(const std::string&, HMODULE);
    const struct {
        const char* name;
        Loader loadSingle;
        bool keyed; // the bottom-left pixel names the transparent colour
    } cases[] = {
        {"BACKGROUND", ks::LoadPictureResource, false},
        {"LOGO", ks::LoadPictureResource, false},
        {"OKICON", ks::LoadBitmapResource, false},
        {"KOICON", ks::LoadBitmapResource, false},
        {"INSTALLGLYPH", ks::LoadBitmapResource, true},
        {"FOLDERGLYPH", ks::LoadBitmapResource, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ks::TPicture single = c.loadSingle(c.name, nullptr);
        const ks::TPicture doubled = ks::LoadPictureResource(std::string(c.name) + "2X");
        EXPECT_EQ(doubled.width, 2 * single.width);
        EXPECT_EQ(doubled.height, 2 * single.height);
        EXPECT_EQ(doubled.hasAlpha, single.hasAlpha);
        if (c.keyed) {
            EXPECT_EQ(doubled.pixels[(doubled.height - 1) * doubled.width],
                      single.pixels[(single.height - 1) * single.width]);
        }
    }
}

} // namespace
