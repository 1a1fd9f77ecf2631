// The program's string table: prompts (tool tip, newline, spoken file),
// messages with %1/%2 placeholders, and the spoken colour names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

using StringId = std::uint16_t;

enum : StringId {
    IDR_MAINFRAME = 2,               // document template string
    IDS_NO_DEVICE_DRIVER = 32767,    // "... cannot play %1 files because there is no %2 ..."
    IDS_INSERT_DISC = 32788,         // "Please insert the "%1" CD. Then press OK."
    IDS_CANNOT_FIND_FILE = 32800,    // "Cannot find file: %1. ..."
    IDS_UNSUPPORTED_TYPE = 32801,    // "%1\nUnsupported %2 file type."
    IDS_NO_SOUND_FILE = 32803,       // "There is no sound file for this page."
    IDS_NOT_A_VOLUME = 32804,        // "%1\nThis file is not a book: ..."
    IDS_NO_COPY_FOLDER = 32805,      // "The colored picture cannot be kept: ... no folder ..."
    IDS_COPY_IS_ORIGINAL = 32806,    // "%1\nThe colored picture cannot be kept: ... original ..."
    IDS_CANNOT_SAVE_COPY = 32807,    // "%1\nThe colored picture cannot be saved."
    IDS_CANNOT_PRINT = 32808,        // "The page could not be printed. ..."
    IDS_NO_INSTRUCTIONS = 32809,     // "The coloring instructions are not installed. ..."
    IDS_COLOUR_NAME_FIRST = 32835,   // 32835 + i: spoken name of colour i
    IDS_APP_TITLE = 57344,           // "Tintaroo!"
    IDS_ENTER_INTEGER = 61704,       // "Please enter an integer."
    IDS_ENTER_INTEGER_RANGE = 61705, // "Please enter an integer between %1 and %2."
};

// The text of a string id, or an empty view when the table has none.
std::string_view LoadString(StringId id);

// Replaces %1 ... %9 in a template with the given arguments; a placeholder
// without an argument is removed, and "%%" or a lone "%" stays as it is.
std::string FormatString(std::string_view pattern, std::initializer_list<std::string_view> args);

// LoadString followed by FormatString.
std::string FormatMessageId(StringId id, std::initializer_list<std::string_view> args);

// The first line of a prompt string (its tool tip) and its second line (the
// spoken file); each empty when absent.
std::string_view PromptTip(std::string_view prompt);
std::string_view PromptSoundFile(std::string_view prompt);
