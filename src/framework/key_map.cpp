#include "framework/key_map.h"

#include <QKeyEvent>

namespace {

std::optional<VirtualKey> VirtualKeyOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<VirtualKey>(qtKey); // the same codes as capitals and digits
    switch (qtKey) {
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_F1:
        return VK_F1;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Cancel:
        return VK_CANCEL;
    case Qt::Key_Pause:
        return VK_PAUSE;
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<KeyPress> KeyPressOf(const QKeyEvent& event) {
    const QString text = event.text();
    const char32_t typed =
        text.size() == 1 && text[0].unicode() >= 0x20 ? char32_t(text[0].unicode()) : 0;
    std::optional<VirtualKey> key = VirtualKeyOf(event.key());
    if (!key && typed == 0)
        return std::nullopt;
    if (!key)
        key = 0; // a character with no key of its own, such as "-" typed with Shift
    std::uint8_t mods = kModNone;
    Qt::KeyboardModifiers m = event.modifiers();
    if (m & Qt::ShiftModifier)
        mods |= kModShift;
    if (m & Qt::ControlModifier)
        mods |= kModCtrl;
    if (m & Qt::AltModifier)
        mods |= kModAlt;
    return KeyPress{*key, mods, typed};
}
