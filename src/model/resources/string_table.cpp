#include "model/resources/string_table.h"

#include "model/resources/command_ids.h"

#include <algorithm>
#include <array>

namespace {

struct StringEntry {
    StringId id;
    std::string_view text;
};

// Sorted by id, so a lookup is a binary search.
constexpr auto kStrings = std::to_array<StringEntry>({
    {IDR_MAINFRAME, "Tintaroo!\nVolume\nVolume Document\nVolume Files (*.vol)\n.vol\n"
                    "Volume.Document\nVolume Document"},
    {ID_PAGE_LIST, "Page Number\nPAGENUM.WAV"},
    {ID_PLAY_SOUND, "Play or stop the sound\nPLAYSND.WAV"},
    {ID_TOOL_FILL, "Fill Tool\nFILL.WAV"},
    {ID_TOOL_BRUSH, "Paint Brush\nBRUSH.WAV"},
    {ID_TOOL_LINE, "Straight Line\nLINE.WAV"},
    {ID_BRUSH_SMALL, "Small Brush\nBRSHSML.WAV"},
    {ID_BRUSH_MEDIUM, "Medium Brush\nBRSHMED.WAV"},
    {ID_BRUSH_LARGE, "Large Brush\nBRSHLRG.WAV"},
    {ID_UNDO, "Undo\nUNDO.WAV"},
    {ID_DONE, "Return to Viewer\nDONE.WAV"},
    {ID_SLIDE_SHOW, "Run a slide show\nSLIDSHOW.WAV"},
    {ID_SLIDE_SHOW_SETTINGS, "Run a slide show of the volume"},
    {ID_FIRST_PAGE, "Go to the first page\nFirst"},
    {ID_PREV_PAGE, "Go to the previous page\nPREVIOUS.WAV"},
    {ID_NEXT_PAGE, "Go to the next page\nNEXT.WAV"},
    {ID_LAST_PAGE, "Go to the last page\nLast"},
    {ID_PLAY_OR_STOP_KEY, "Play or stop the sound\nPLAYSND.WAV"},
    {ID_COLOUR_PAGE, "Color this page\nDOPAINT.WAV"},
    {ID_UPDATE_PAGE, "Show your colored picture\nUPDATE.WAV"},
    {ID_UPDATE_ALL, "Update all pages with your colored pictures"},
    {ID_RESTORE_PAGE, "Restore the original coloring picture\nRESTORE.WAV"},
    {ID_RESTORE_ALL, "Restore all original pictures"},
    {ID_COLOURING_INSTRUCTIONS, "Coloring Instructions\nINSTRUCT.WAV"},
    {IDS_NO_DEVICE_DRIVER,
     "Tintaroo! cannot play %1 files because there is no %2 device driver present. Use the "
     "Driver option in Control Panel to install a driver."},
    {IDS_INSERT_DISC, "Please insert the \"%1\" CD. Then press OK."},
    {IDS_CANNOT_FIND_FILE,
     "Cannot find file: %1.\n\nPlease verify that the correct path and filename are given."},
    {IDS_UNSUPPORTED_TYPE, "%1\nUnsupported %2 file type."},
    {IDS_NO_SOUND_FILE, "There is no sound file for this page."},
    {IDS_NOT_A_VOLUME, "%1\nThis file is not a book: it has no [Volume] section."},
    {IDS_NO_COPY_FOLDER,
     "The colored picture cannot be kept: this book has no folder for colored pictures."},
    {IDS_COPY_IS_ORIGINAL,
     "%1\nThe colored picture cannot be kept: it would replace the original picture."},
    {IDS_CANNOT_SAVE_COPY, "%1\nThe colored picture cannot be saved."},
    {IDS_CANNOT_PRINT, "The page could not be printed.\n\nPlease check that the printer is "
                       "ready, then try again."},
    {IDS_NO_INSTRUCTIONS, "The coloring instructions are not installed.\n\nThe setting "
                          "ColoringInstructions names no book."},
    {IDS_COLOUR_NAME_FIRST + 0, "WHITE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 1, "BLACK.WAV"},
    {IDS_COLOUR_NAME_FIRST + 2, "GRAY.WAV"},
    {IDS_COLOUR_NAME_FIRST + 3, "DKGRAY.WAV"},
    {IDS_COLOUR_NAME_FIRST + 4, "RED.WAV"},
    {IDS_COLOUR_NAME_FIRST + 5, "DKRED.WAV"},
    {IDS_COLOUR_NAME_FIRST + 6, "YELLOW.WAV"},
    {IDS_COLOUR_NAME_FIRST + 7, "OLIVE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 8, "GREEN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 9, "FRSTGREN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 10, "CYAN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 11, "OCEANBL.WAV"},
    {IDS_COLOUR_NAME_FIRST + 12, "BLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 13, "DPNAVYBL.WAV"},
    {IDS_COLOUR_NAME_FIRST + 14, "MAGENTA.WAV"},
    {IDS_COLOUR_NAME_FIRST + 15, "PURPLE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 16, "PALEYLLW.WAV"},
    {IDS_COLOUR_NAME_FIRST + 17, "OLIVDRAB.WAV"},
    {IDS_COLOUR_NAME_FIRST + 18, "MINTGREN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 19, "DKGREEN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 20, "ICEBLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 21, "BABYBLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 22, "PASTBLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 23, "NAVYBLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 24, "HOTPINK.WAV"},
    {IDS_COLOUR_NAME_FIRST + 25, "DEEPBLUE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 26, "ORANGE.WAV"},
    {IDS_COLOUR_NAME_FIRST + 27, "BROWN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 28, "TAN.WAV"},
    {IDS_COLOUR_NAME_FIRST + 29, "BEIGE.WAV"},
    {IDS_APP_TITLE, "Tintaroo!"},
    {ID_FILE_OPEN, "Open a different volume\nOpen"},
    {ID_FILE_PRINT, "Print\nPRINT.WAV"},
    {ID_APP_EXIT, "Goodbye\nEXIT.WAV"},
    {IDS_ENTER_INTEGER, "Please enter an integer."},
    {IDS_ENTER_INTEGER_RANGE, "Please enter an integer between %1 and %2."},
});

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < kStrings.size(); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    }
    return true;
}
static_assert(IsSorted(), "string table must be sorted by id without repeats");

} // namespace

std::string_view LoadString(StringId id) {
    auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                               [](const StringEntry& e, StringId v) { return e.id < v; });
    return (it != kStrings.end() && it->id == id) ? it->text : std::string_view{};
}

std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size())
                out.append(*(args.begin() + n));
            ++i;
            continue;
        }
        out.push_back(c);
    }
    return out;
}

std::string FormatMessageId(StringId id, std::initializer_list<std::string_view> args) {
    return FormatString(LoadString(id), args);
}

std::string_view PromptTip(std::string_view prompt) {
    return prompt.substr(0, prompt.find('\n'));
}

std::string_view PromptSoundFile(std::string_view prompt) {
    std::size_t nl = prompt.find('\n');
    if (nl == std::string_view::npos)
        return {};
    std::string_view rest = prompt.substr(nl + 1);
    return rest.substr(0, rest.find('\n'));
}
