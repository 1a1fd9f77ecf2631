#include "model/resources/key_tables.h"

#include <array>

namespace {
constexpr auto kTable2Entries = std::to_array<KeyTableEntry>({
    {'P', kModCtrl, ID_FILE_PRINT},
    {'S', kModAlt, ID_PLAY_OR_STOP_KEY},
    {VK_END, kModNone, ID_LAST_PAGE},
    {VK_HOME, kModNone, ID_FIRST_PAGE},
    {VK_NEXT, kModNone, ID_NEXT_PAGE},
    {VK_PRIOR, kModNone, ID_PREV_PAGE},
});
} // namespace

const KeyTable kKeyTable2{2, kTable2Entries};

namespace {
// The slide-show window's commands.
enum : CommandId {
    kShowFirst = 40001,
    kShowPrevious = 40002,
    kShowNext = 40003,
    kShowLast = 40004,
    kShowPause = 40005,
    kShowEnd = 40006,
    kHelp = 57670,
};

constexpr KeyTableEntry Char(char c, CommandId command) {
    return {static_cast<VirtualKey>(c), kModNone, command, true};
}

constexpr auto kTable5Entries = std::to_array<KeyTableEntry>({
    Char('-', kShowEnd),
    Char('N', kShowNext),
    Char('n', kShowNext),
    Char('P', kShowPrevious),
    Char('p', kShowPrevious),
    // The show's help promises "S" and "+" for stop and restart.
    Char('S', kShowPause),
    Char('s', kShowPause),
    Char('+', kShowPause),
    {VK_BACK, kModNone, kShowPrevious},
    {VK_CANCEL, kModCtrl, kShowEnd},
    {VK_CANCEL, kModNone, kShowEnd},
    {VK_PAUSE, kModCtrl, kShowEnd},
    {VK_DOWN, kModNone, kShowNext},
    {VK_END, kModNone, kShowLast},
    {VK_ESCAPE, kModNone, kShowEnd},
    {VK_F1, kModNone, kHelp},
    {VK_HOME, kModNone, kShowFirst},
    {VK_LEFT, kModNone, kShowPrevious},
    {VK_NEXT, kModNone, kShowNext},
    {VK_PAUSE, kModNone, kShowPause},
    {VK_PRIOR, kModNone, kShowPrevious},
    {VK_RETURN, kModNone, kShowNext},
    {VK_RIGHT, kModNone, kShowNext},
    {VK_SPACE, kModNone, kShowNext},
    {VK_UP, kModNone, kShowPrevious},
});
} // namespace

const KeyTable kKeyTable5{5, kTable5Entries};

std::optional<CommandId> LookUpKey(const KeyTable& table, VirtualKey key, std::uint8_t modifiers,
                                   char32_t typed) {
    for (const KeyTableEntry& e : table.entries) {
        if (e.character) {
            if (typed != 0 && e.key == typed && (modifiers & (kModCtrl | kModAlt)) == 0)
                return e.command;
        } else if (e.key == key && e.modifiers == modifiers) {
            return e.command;
        }
    }
    return std::nullopt;
}
