// The monkey's actions on a modal dialog, an open popup and the slide show,
// and its keys.
#include "monkey.h"

#include "controls/hand_button.h"
#include "model/resources/key_tables.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

#include <iterator>

namespace {

std::string Describe(const QWidget* w) {
    std::string text = w->metaObject()->className();
    if (!w->objectName().isEmpty())
        text += " '" + w->objectName().toStdString() + "'";
    if (auto* button = qobject_cast<const QAbstractButton*>(w); button && !button->text().isEmpty())
        text += " \"" + button->text().toStdString() + "\"";
    if (auto* hand = qobject_cast<const CHandButton*>(w))
        text += " " + std::to_string(hand->GetId()) + " (" + hand->ShownFace().toStdString() + ")";
    if (!w->isEnabled())
        text += " [disabled]";
    return text;
}

std::string At(QPoint p) {
    return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
}

// The Qt key of a key table's virtual key.
int QtKeyOf(VirtualKey key) {
    switch (key) {
    case VK_BACK:
        return Qt::Key_Backspace;
    case VK_PAUSE:
        return Qt::Key_Pause;
    case VK_RETURN:
        return Qt::Key_Return;
    case VK_CANCEL:
        return Qt::Key_Cancel;
    case VK_ESCAPE:
        return Qt::Key_Escape;
    case VK_SPACE:
        return Qt::Key_Space;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    case VK_END:
        return Qt::Key_End;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_UP:
        return Qt::Key_Up;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_F1:
        return Qt::Key_F1;
    default:
        return key; // letters and digits share their codes
    }
}

Qt::KeyboardModifiers QtModifiersOf(std::uint8_t mods) {
    Qt::KeyboardModifiers m;
    if (mods & kModShift)
        m |= Qt::ShiftModifier;
    if (mods & kModCtrl)
        m |= Qt::ControlModifier;
    if (mods & kModAlt)
        m |= Qt::AltModifier;
    return m;
}

constexpr int kOtherKeys[] = {
    Qt::Key_A,      Qt::Key_C,     Qt::Key_N,      Qt::Key_P,        Qt::Key_Q,
    Qt::Key_S,      Qt::Key_W,     Qt::Key_Z,      Qt::Key_0,        Qt::Key_5,
    Qt::Key_F1,     Qt::Key_F4,    Qt::Key_F10,    Qt::Key_Tab,      Qt::Key_Delete,
    Qt::Key_Insert, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Return,   Qt::Key_Space,
    Qt::Key_Left,   Qt::Key_Up,    Qt::Key_Home,   Qt::Key_PageDown, Qt::Key_Minus,
    Qt::Key_Plus,   Qt::Key_Pause, Qt::Key_Menu,   Qt::Key_Backspace};

// The text a key types, as a keyboard would report it with these modifiers.
QString TextOf(int key, Qt::KeyboardModifiers mods) {
    if (mods & (Qt::ControlModifier | Qt::AltModifier))
        return {};
    if (key == Qt::Key_Space || key == Qt::Key_Minus || key == Qt::Key_Plus)
        return QString(QChar(key));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar(key));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return mods & Qt::ShiftModifier ? QString(QChar(key)) : QString(QChar(key)).toLower();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return "\r";
    return {};
}

template <typename T> void AddVisible(QWidget* root, std::vector<QWidget*>& out) {
    for (T* w : root->findChildren<T*>()) {
        if (w->isVisible())
            out.push_back(w);
    }
}

} // namespace

void Monkey::ActOnModal(QWidget* modal) {
    QWindow* window = modal->windowHandle();
    if (!window)
        return;
    if (qobject_cast<QFileDialog*>(modal)) {
        ActOnFileDialog(modal);
        return;
    }
    const std::string name = Describe(modal);
    std::vector<QWidget*> buttons, edits;
    AddVisible<QAbstractButton>(modal, buttons);
    AddVisible<QLineEdit>(modal, edits);
    const int r = Pick(100);
    if (r < 25) {
        PostKey(window, Qt::Key_Escape, Qt::NoModifier, {});
        Record("dialog.escape", name);
    } else if (r < 40) {
        PostKey(window, Qt::Key_Return, Qt::NoModifier, "\r");
        Record("dialog.return", name);
    } else if (r < 80 && !buttons.empty()) {
        QWidget* button = buttons[Pick(static_cast<int>(buttons.size()))];
        ClickWidget(button);
        Record("dialog.button", name + ": " + Describe(button));
    } else if (r < 92 && !edits.empty()) {
        QWidget* edit = edits[Pick(static_cast<int>(edits.size()))];
        ClickWidget(edit, true);
        PostKey(window, Qt::Key_A, Qt::ControlModifier, {});
        static const QString kTyped = "0123456789 -x";
        QString text;
        for (int i = 0, n = 1 + Pick(3); i < n; ++i)
            text += kTyped[Pick(static_cast<int>(kTyped.size()))];
        PostText(window, text);
        Record("dialog.type", name + ": \"" + text.toStdString() + "\" into " + Describe(edit));
    } else if (r < 96) {
        const int key = Chance(50) ? Qt::Key_Tab : Qt::Key_Space;
        PostKey(window, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
        Record("dialog.key", name + (key == Qt::Key_Tab ? ": Tab" : ": Space"));
    } else if (QWindow* main = MainWindowHandle()) {
        // The window under the dialog takes no input while it is up.
        const QPoint at = PointIn(QRect(QPoint(), main->size()));
        PostClick(main, at, Qt::LeftButton);
        Record("dialog.blocked_click", "main window " + At(at) + " under " + name);
    }
}

void Monkey::ActOnFileDialog(QWidget* dialog) {
    // Only the file name box, Open and Cancel: the dialog's own tool buttons
    // make folders, which is the user's business and not the program's.
    QWindow* window = dialog->windowHandle();
    const int r = Pick(100);
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (r < 50 && edit && edit->isVisible()) {
        std::string which;
        QString file = RandomVolumeFile(which);
        // A save dialog is the print dialog's chooser of a PDF file: printing
        // over a file the user picks is the user's choice, not the program's
        // doing, so the monkey prints into the home folder and not over the
        // book's files.
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (files && files->acceptMode() == QFileDialog::AcceptSave) {
            which = "print file";
            file = QDir::home().filePath(QString("printed-%1.pdf").arg(Pick(5)));
        }
        ClickWidget(edit, true);
        PostKey(window, Qt::Key_A, Qt::ControlModifier, {});
        PostText(window, file);
        PostKey(window, Qt::Key_Return, Qt::NoModifier, "\r");
        Record("open_dialog.type", which + ": " + file.toStdString());
    } else if (r < 70) {
        std::vector<QWidget*> buttons;
        AddVisible<QPushButton>(dialog, buttons);
        if (buttons.empty())
            return;
        QWidget* button = buttons[Pick(static_cast<int>(buttons.size()))];
        ClickWidget(button);
        Record("open_dialog.button", Describe(button));
    } else {
        PostKey(window, Qt::Key_Escape, Qt::NoModifier, {});
        Record("open_dialog.escape", "");
    }
}

void Monkey::ActOnPopup(QWidget* popup) {
    QWindow* window = popup->windowHandle();
    if (!window)
        return;
    const std::string name = Describe(popup);
    const int r = Pick(100);
    if (r < 40) {
        const QPoint at = PointIn(popup->rect());
        PostClick(window, at, Qt::LeftButton);
        Record("popup.click", name + " " + At(at));
    } else if (r < 55) {
        PostKey(window, Qt::Key_Escape, Qt::NoModifier, {});
        Record("popup.escape", name);
    } else if (r < 70) {
        PostKey(window, Qt::Key_Return, Qt::NoModifier, "\r");
        Record("popup.return", name);
    } else if (r < 85) {
        const bool down = Chance(50);
        PostKey(window, down ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier, {});
        Record("popup.key", name + (down ? " Down" : " Up"));
    } else if (r < 95) {
        const QPoint at = PointIn(popup->rect());
        const int notches = Chance(50) ? 1 : -1;
        QPointer<QWindow> w(window);
        Post([this, w, at, notches] {
            if (w)
                m_input.Wheel(w, at, notches);
        });
        Record("popup.wheel", name + " " + At(at));
    } else if (QWindow* main = MainWindowHandle()) {
        const QPoint at = PointIn(QRect(QPoint(), main->size()));
        PostClick(main, at, Qt::LeftButton);
        Record("popup.click_outside", "main window " + At(at));
    }
}

void Monkey::ActOnShow(QWidget* show) {
    QWindow* window = show->windowHandle();
    const int r = Pick(100);
    if (r < 45) {
        TableKey(window, kKeyTable5, "show.key_table5");
    } else if (r < 60) {
        OtherKey(window);
    } else if (r < 95) {
        const QPoint at = PointIn(show->rect());
        const bool right = Chance(35);
        PostClick(window, at, right ? Qt::RightButton : Qt::LeftButton);
        Record(right ? "show.right_click" : "show.click", At(at));
    } else {
        const QPoint at = PointIn(show->rect());
        PostDoubleClick(window, at);
        Record("show.double_click", At(at));
    }
}

void Monkey::TableKey(QWindow* window, const KeyTable& table, const char* kind) {
    const KeyTableEntry& e = table.entries[Pick(static_cast<int>(table.entries.size()))];
    if (e.character) {
        const QChar c(static_cast<char16_t>(e.key));
        const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        PostKey(window, c.toUpper().unicode(), mods, QString(c));
        Record(kind, std::string("'") + static_cast<char>(e.key) + "'");
        return;
    }
    const Qt::KeyboardModifiers mods = QtModifiersOf(e.modifiers);
    const int key = QtKeyOf(e.key);
    PostKey(window, key, mods, TextOf(key, mods));
    Record(kind, QKeySequence(key | mods.toInt()).toString().toStdString());
}

void Monkey::OtherKey(QWindow* window) {
    const int key = kOtherKeys[Pick(static_cast<int>(std::size(kOtherKeys)))];
    static const Qt::KeyboardModifiers kMods[] = {Qt::NoModifier,
                                                  Qt::NoModifier,
                                                  Qt::NoModifier,
                                                  Qt::ShiftModifier,
                                                  Qt::AltModifier,
                                                  Qt::ControlModifier,
                                                  Qt::ControlModifier | Qt::ShiftModifier};
    const Qt::KeyboardModifiers mods = kMods[Pick(static_cast<int>(std::size(kMods)))];
    PostKey(window, key, mods, TextOf(key, mods));
    Record("key.other", QKeySequence(key | mods.toInt()).toString().toStdString());
}
