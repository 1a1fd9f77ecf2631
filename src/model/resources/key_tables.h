// Key tables: which key with which modifiers sends which command. Keys are
// virtual-key codes (letters by their capital), so a window level maps its
// toolkit's key events onto these before looking them up.
#pragma once

#include "model/resources/command_ids.h"

#include <cstdint>
#include <optional>
#include <span>

using VirtualKey = std::uint16_t;

enum : VirtualKey {
    VK_BACK = 0x08,
    VK_PAUSE = 0x13,
    VK_RETURN = 0x0D,
    VK_CANCEL = 0x03, // Ctrl+Break
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21, // Page Up
    VK_NEXT = 0x22,  // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
};

// Modifier flags of a key-table entry and of a key press.
enum KeyModifier : std::uint8_t {
    kModNone = 0,
    kModShift = 1,
    kModCtrl = 2,
    kModAlt = 4,
};

// A row of a key table. A key row matches the key with exactly its
// modifiers; a character row matches the typed character (`key` holds its
// code), whatever Shift does to produce it.
struct KeyTableEntry {
    VirtualKey key;
    std::uint8_t modifiers; // KeyModifier flags that must be held, exactly
    CommandId command;
    bool character = false;
};

struct KeyTable {
    int id; // resource id of the table
    std::span<const KeyTableEntry> entries;
};

// The main window's keys in viewer mode: Ctrl+P print, Alt+S play or stop,
// Ctrl+Shift+S the slide show's settings, End, Home, Page Down, Page Up.
extern const KeyTable kKeyTable2;

// The slide-show window's keys: Home first; Page Up, Up, Left, Backspace, "P"
// and "p" previous; Page Down, Down, Right, Space, Enter, "N" and "n" next;
// End last; Pause, "S", "s" and "+" stop or restart; Esc, Ctrl+Break and "-"
// end the show; F1 help. Ctrl+Break arrives as Ctrl+Cancel, Ctrl+Pause or
// Cancel depending on the keyboard, and each ends the show.
extern const KeyTable kKeyTable5;

// The command a key press sends through a table, or none. Key rows need the
// modifiers to match exactly (Shift+Home is not Home); character rows match
// `typed`, the character the press types (0 for none), without Ctrl or Alt.
std::optional<CommandId> LookUpKey(const KeyTable& table, VirtualKey key, std::uint8_t modifiers,
                                   char32_t typed = 0);
