#include "model/resources/key_tables.h"

#include <array>

namespace {
constexpr auto kTable2Entries = std::to_array<KeyTableEntry>({
    {'P', kModCtrl, ID_FILE_PRINT},
    {'S', kModAlt, ID_PLAY_OR_STOP_KEY},
    // The show's settings are for grown-ups: a key children will not stumble on.
    {'S', kModCtrl | kModShift, ID_SLIDE_SHOW_SETTINGS},
    {VK_END, kModNone, ID_LAST_PAGE},
    {VK_HOME, kModNone, ID_FIRST_PAGE},
    {VK_NEXT, kModNone, ID_NEXT_PAGE},
    {VK_PRIOR, kModNone, ID_PREV_PAGE},
});
} // namespace

const KeyTable kKeyTable2{2, kTable2Entries};

namespace {

constexpr KeyTableEntry Char(char c, CommandId command) {
    return {static_cast<VirtualKey>(c), kModNone, command, true};
}

constexpr auto kTable5Entries = std::to_array<KeyTableEntry>({
    Char('-', ID_SHOW_END),
    Char('N', ID_SHOW_NEXT),
    Char('n', ID_SHOW_NEXT),
    Char('P', ID_SHOW_PREV),
    Char('p', ID_SHOW_PREV),
    // The show's help promises "S" and "+" for stop and restart.
    Char('S', ID_SHOW_PAUSE),
    Char('s', ID_SHOW_PAUSE),
    Char('+', ID_SHOW_PAUSE),
    {VK_BACK, kModNone, ID_SHOW_PREV},
    {VK_CANCEL, kModCtrl, ID_SHOW_END},
    {VK_CANCEL, kModNone, ID_SHOW_END},
    {VK_PAUSE, kModCtrl, ID_SHOW_END},
    {VK_DOWN, kModNone, ID_SHOW_NEXT},
    {VK_END, kModNone, ID_SHOW_LAST},
    {VK_ESCAPE, kModNone, ID_SHOW_END},
    {VK_F1, kModNone, ID_HELP},
    {VK_HOME, kModNone, ID_SHOW_FIRST},
    {VK_LEFT, kModNone, ID_SHOW_PREV},
    {VK_NEXT, kModNone, ID_SHOW_NEXT},
    {VK_PAUSE, kModNone, ID_SHOW_PAUSE},
    {VK_PRIOR, kModNone, ID_SHOW_PREV},
    {VK_RETURN, kModNone, ID_SHOW_NEXT},
    {VK_RIGHT, kModNone, ID_SHOW_NEXT},
    {VK_SPACE, kModNone, ID_SHOW_NEXT},
    {VK_UP, kModNone, ID_SHOW_PREV},
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
