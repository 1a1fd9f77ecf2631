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

std::optional<CommandId> LookUpKey(const KeyTable& table, VirtualKey key, std::uint8_t modifiers) {
    for (const KeyTableEntry& e : table.entries) {
        if (e.key == key && e.modifiers == modifiers)
            return e.command;
    }
    return std::nullopt;
}
