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

struct KeyTableEntry {
    VirtualKey key;
    std::uint8_t modifiers; // KeyModifier flags that must be held, exactly
    CommandId command;
};

struct KeyTable {
    int id; // resource id of the table
    std::span<const KeyTableEntry> entries;
};

// The main window's keys in viewer mode: Ctrl+P print, Alt+S play or stop,
// End, Home, Page Down, Page Up.
extern const KeyTable kKeyTable2;

// The command a key press sends through a table, or none. Modifiers must
// match exactly (Shift+Home is not Home).
std::optional<CommandId> LookUpKey(const KeyTable& table, VirtualKey key, std::uint8_t modifiers);
