// Turns the toolkit's key events into the virtual keys and modifier flags of
// the program's key tables.
#pragma once

#include "model/resources/key_tables.h"

#include <optional>

class QKeyEvent;

struct KeyPress {
    VirtualKey key;
    std::uint8_t modifiers; // KeyModifier flags
    char32_t typed = 0;     // the character the press types, 0 for none
};

// The key of a key-press event, or none for keys no table can name.
std::optional<KeyPress> KeyPressOf(const QKeyEvent& event);
