#include "model/resources/string_table.h"

#include "model/resources/command_ids.h"

#include <gtest/gtest.h>

namespace {

TEST(StringTableTest, MessagesFormatWithTheirArguments) {
    EXPECT_EQ(FormatMessageId(IDS_INSERT_DISC, {"Animals"}),
              "Please insert the \"Animals\" CD. Then press OK.");
    EXPECT_EQ(FormatMessageId(IDS_INSERT_DISC, {""}), "Please insert the \"\" CD. Then press OK.");
    EXPECT_EQ(FormatMessageId(IDS_UNSUPPORTED_TYPE, {"C:\\SONG.XYZ", "sound"}),
              "C:\\SONG.XYZ\nUnsupported sound file type.");
    // Arguments are not themselves scanned for placeholders.
    EXPECT_EQ(FormatString("%1 and %2", {"%2", "b"}), "%2 and b");
    EXPECT_EQ(FormatString("100% %3", {"a"}), "100% ");
    EXPECT_EQ(LoadString(12345), "");
}

TEST(StringTableTest, PromptsSplitIntoTipAndSpokenFile) {
    std::string_view next = LoadString(ID_NEXT_PAGE);
    EXPECT_EQ(PromptTip(next), "Go to the next page");
    EXPECT_EQ(PromptSoundFile(next), "NEXT.WAV");
    std::string_view settings = LoadString(ID_SLIDE_SHOW_SETTINGS);
    EXPECT_EQ(PromptTip(settings), "Run a slide show of the volume");
    EXPECT_EQ(PromptSoundFile(settings), "");
}

} // namespace
