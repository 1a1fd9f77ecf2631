#include "model/controls/color_table.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ColorTableTest, KnownEntriesAndSpokenNames) {
    EXPECT_EQ(ColorTablePixel(0), 0xFFFFFFu);
    EXPECT_EQ(ColorTablePixel(1), 0x000000u);
    EXPECT_EQ(ColorTablePixel(4), 0xFF0000u);    // red in a picture buffer
    EXPECT_EQ(ColorTableColorRef(4), 0x0000FFu); // red as a stored colour value
    EXPECT_EQ(ColorTablePixel(29), MakePixel(204, 204, 102));
    EXPECT_EQ(ColorNameSoundFile(0), "WHITE.WAV");
    EXPECT_EQ(ColorNameSoundFile(29), "BEIGE.WAV");
    EXPECT_EQ(ColorNameSoundFile(30), "");
    EXPECT_EQ(ColorNameSoundFile(-1), "");
    std::set<std::string_view> names;
    for (int i = 0; i < kColorCount; ++i) {
        EXPECT_TRUE(ColorNameSoundFile(i).ends_with(".WAV")) << i;
        names.insert(ColorNameSoundFile(i));
    }
    EXPECT_EQ(names.size(), 30u);
}

TEST(ColorTableTest, PaletteHasTheThirtyEntriesInTableOrder) {
    LogPalette pal = CreateColorTablePalette();
    EXPECT_EQ(pal.palVersion, 0x300);
    ASSERT_EQ(pal.entries.size(), 30u);
    for (int i = 0; i < kColorCount; ++i) {
        const PaletteEntry& e = pal.entries[static_cast<std::size_t>(i)];
        EXPECT_EQ(MakePixel(e.peRed, e.peGreen, e.peBlue), ColorTablePixel(i)) << i;
        EXPECT_EQ(e.peFlags, 0);
    }
}

} // namespace
