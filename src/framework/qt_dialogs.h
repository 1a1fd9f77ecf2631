// The program's real dialogs and message boxes, on Qt. Every modal dialog of
// the program goes through this class (as the IDialogs interface), so tests
// can put a script in its place.
#pragma once

#include "model/dialogs.h"

#include <QDialog>
#include <QFont>
#include <QRect>

#include <functional>

class QLabel;

// The templates' dialog font: a sans serif with a 13-pixel line, the
// height of the templates' 8-point font.
QFont DialogFont();
// `font` at the pixel size whose line height (ascent plus descent) is `cell`
// pixels, or the largest smaller one.
QFont WithCellHeight(QFont font, int cell);

// A rectangle of a dialog template, given in dialog units, in pixels: the
// templates' font has base units of about 6 x 13 pixels, and a dialog unit
// is a quarter of the width and an eighth of the height.
QRect FromDialogUnits(const QRect& units);

// The program's message box: titled "Tintaroo!", an OK button and the icon,
// centred over `parent` (may be null); returns when it has been closed.
void ShowMessageBox(QWidget* parent, const std::string& text, MessageIcon icon);

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
    // The system beep: the insert-disc prompt's exclamation beep and the
    // slide-show dialog's refusal of a page range; tests may count it.
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    // What the slide-show dialog's Help button does (the help command);
    // nothing while unset.
    void SetHelpHandler(std::function<void()> help) { m_help = std::move(help); }
    // The open volume's page count, asked each time the slide-show dialog
    // opens; its page boxes are checked against it. While unset the count is
    // 0, so Show refuses every range.
    void SetPageCountSource(std::function<int()> pageCount) { m_pageCount = std::move(pageCount); }

    void MessageBox(const std::string& text, MessageIcon icon) override;
    bool InsertDisc(const InsertDiscPrompt& prompt) override;
    bool SlideShowDialog(SlideShowDlgData& data) override;
    void SlideShowHelp() override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;
    std::optional<std::string> OpenVolumeFile() override;
    bool PrintDialog(QPrinter& printer) override;

private:
    QWidget* m_owner;
    std::function<void()> m_beep;
    std::function<void()> m_help;
    std::function<int()> m_pageCount;
    bool m_slideShowHelpOpen = false;
};
