// The committed spoken sounds: every file the program asks the sounds folder
// for is there, a WAVE file the output plays, and not silent.
#include "model/resources/command_ids.h"
#include "model/resources/string_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSounds = fs::path(TINTAROO_SOURCE_DIR) / "data" / "sounds";

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

// The loudness (RMS, 0..1) of a 16-bit PCM mono WAVE file; -1 when it is not one.
double SpokenLevel(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return -1;
    bool pcm16 = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::uint32_t size = Le(b, at + 4, 4);
        if (at + 8 + size > b.size())
            return -1;
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0)
            pcm16 = Le(b, at + 8, 2) == 1 && Le(b, at + 10, 2) == 1 && Le(b, at + 22, 2) == 16;
        if (std::memcmp(b.data() + at, "data", 4) == 0 && pcm16) {
            double sum = 0;
            std::size_t n = size / 2;
            for (std::size_t i = 0; i < n; ++i) {
                double v = static_cast<std::int16_t>(Le(b, at + 8 + 2 * i, 2)) / 32768.0;
                sum += v * v;
            }
            return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

std::vector<std::string> WantedFiles() {
    std::vector<std::string> files;
    for (CommandId id : {ID_PAGE_LIST,
                         ID_PLAY_SOUND,
                         ID_PREV_PAGE,
                         ID_NEXT_PAGE,
                         ID_COLOUR_PAGE,
                         ID_UPDATE_PAGE,
                         ID_RESTORE_PAGE,
                         ID_SLIDE_SHOW,
                         ID_FILE_PRINT,
                         ID_APP_EXIT,
                         ID_COLOURING_INSTRUCTIONS,
                         ID_TOOL_FILL,
                         ID_TOOL_BRUSH,
                         ID_TOOL_LINE,
                         ID_BRUSH_SMALL,
                         ID_BRUSH_MEDIUM,
                         ID_BRUSH_LARGE,
                         ID_UNDO,
                         ID_DONE,
                         ID_PLAY_OR_STOP_KEY})
        files.emplace_back(PromptSoundFile(LoadString(id)));
    for (int i = 0; i < 30; ++i)
        files.emplace_back(LoadString(static_cast<StringId>(IDS_COLOUR_NAME_FIRST + i)));
    for (int page = 1; page <= 99; ++page)
        files.push_back(std::to_string(page) + ".wav");
    return files;
}

TEST(SpokenPromptsTest, EveryPromptColourAndPageNumberIsSpoken) {
    std::vector<std::string> files = WantedFiles();
    ASSERT_EQ(files.size(), 20u + 30u + 99u);
    for (const std::string& name : files) {
        ASSERT_FALSE(name.empty());
        double level = SpokenLevel(kSounds / name); // exactly that name: no case folding
        EXPECT_GT(level, 0.02) << name
                               << (level < 0 ? " is missing or not 16-bit PCM" : " is silent");
    }
}

} // namespace
