// The program's real dialogs and message boxes, on Qt. Every modal dialog of
// the program goes through this class (as the IDialogs interface), so tests
// can put a script in its place.
#pragma once

#include "model/dialogs.h"

#include <QDialog>

#include <functional>

class QLabel;

// The insert-disc prompt: caption "Insert CD", the volume's icon, the text
// and OK / Cancel, placed as in its 212 x 55 template. A text longer than
// the template's two lines makes the dialog taller by what it needs.
class CInsertDiscDlg : public QDialog {
    Q_OBJECT
public:
    CInsertDiscDlg(const InsertDiscPrompt& prompt, QWidget* parent);

    QLabel* IconLabel() const { return m_icon; }
    QLabel* TextLabel() const { return m_text; }

private:
    QLabel* m_icon;
    QLabel* m_text;
};

class QtDialogs : public IDialogs {
public:
    // Dialogs are centred over `owner` (may be null; may be set later).
    explicit QtDialogs(QWidget* owner = nullptr);

    void SetOwner(QWidget* owner) { m_owner = owner; }
    // The exclamation beep of the insert-disc prompt; tests may count it.
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }

    void MessageBox(const std::string& text, MessageIcon icon) override;
    bool InsertDisc(const InsertDiscPrompt& prompt) override;
    bool SlideShowDialog(SlideShowDlgData& data) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
    std::optional<std::string> OpenVolumeFile() override;
    bool PrintDialog(QPrinter& printer) override;

private:
    QWidget* m_owner;
    std::function<void()> m_beep;
};
