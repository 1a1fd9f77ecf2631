// The slide show's key table: key rows by key and exact modifiers, character
// rows by the typed character whatever Shift did to type it.
#include "model/resources/key_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyTable5Test, EveryKeyOfTheShowSendsItsCommand) {
    struct Case {
        VirtualKey key;
        std::uint8_t modifiers;
        char32_t typed;
        std::optional<CommandId> command;
    };
    const Case cases[] = {
        {VK_HOME, kModNone, 0, 40001},
        {VK_PRIOR, kModNone, 0, 40002},
        {VK_UP, kModNone, 0, 40002},
        {VK_LEFT, kModNone, 0, 40002},
        {VK_BACK, kModNone, 0, 40002},
        {'P', kModShift, U'P', 40002},
        {'P', kModNone, U'p', 40002},
        {VK_NEXT, kModNone, 0, 40003},
        {VK_DOWN, kModNone, 0, 40003},
        {VK_RIGHT, kModNone, 0, 40003},
        {VK_SPACE, kModNone, U' ', 40003},
        {VK_RETURN, kModNone, 0, 40003},
        {'N', kModShift, U'N', 40003},
        {'N', kModNone, U'n', 40003},
        {VK_END, kModNone, 0, 40004},
        {VK_PAUSE, kModNone, 0, 40005},
        {'S', kModNone, U's', 40005},
        {'S', kModShift, U'S', 40005},
        {VK_ADD, kModShift, U'+', 40005},
        {0, kModShift, U'+', 40005}, // "+" typed on a key the table does not name
        {VK_ESCAPE, kModNone, 0, 40006},
        {VK_SUBTRACT, kModNone, U'-', 40006},
        {VK_CANCEL, kModCtrl, 0, 40006},
        {VK_CANCEL, kModNone, 0, 40006},
        {VK_PAUSE, kModCtrl, 0, 40006},
        {VK_F1, kModNone, 0, 57670},
        // Not the show's: a modifier too many, or a character typed with Ctrl.
        {VK_HOME, kModShift, 0, std::nullopt},
        {'N', kModCtrl, U'n', std::nullopt},
        {'Q', kModNone, U'q', std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LookUpKey(kKeyTable5, c.key, c.modifiers, c.typed), c.command)
            << "key " << c.key << " modifiers " << int(c.modifiers) << " typed "
            << static_cast<std::uint32_t>(c.typed);
    }
    // The viewer's table has no character rows: typing "p" is not Ctrl+P.
    EXPECT_FALSE(LookUpKey(kKeyTable2, 'P', kModNone, U'p'));
}

} // namespace
