// The slide-show settings dialog: which pages, how each page advances,
// sounds and looping, placed as in its 307 x 109 template. Show checks the
// boxes (see CheckSlideShowDlg) and closes only on valid values.
#pragma once

#include "model/slideshow/slide_show_info.h"

#include <QDialog>

#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

class CSlideShowDlg : public QDialog {
    Q_OBJECT
public:
    // Opens on `data`. `nPageCount` is the open volume's page count, the
    // limit of the From and To boxes.
    CSlideShowDlg(const SlideShowDlgData& data, int nPageCount, QWidget* parent);

    // How a refused Show tells the user: the message box over the dialog
    // (default: the program's exclamation message box), the system beep
    // (default: the toolkit's beep), and the Help button (default: nothing).
    void SetMessage(std::function<void(const std::string&)> message) {
        m_message = std::move(message);
    }
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }
    void SetHelp(std::function<void()> help) { m_help = std::move(help); }

    // The values Show accepted; before that, the values the dialog opened on.
    const SlideShowDlgData& Data() const { return m_data; }

    // The control with the template id (301 ... 310, 1, 2, 57670), or null.
    QWidget* Control(int id) const;

private:
    void CreateControls();
    void ShowValues();
    void OnPlaySounds(bool ticked);
    void OnShow();

    SlideShowDlgData m_data;
    int m_nPageCount;
    std::function<void(const std::string&)> m_message;
    std::function<void()> m_beep;
    std::function<void()> m_help;

    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_every = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_fromOption = nullptr;
    QRadioButton* m_everyOption = nullptr;
    QRadioButton* m_soundDone = nullptr;
    QCheckBox* m_playSounds = nullptr;
    QCheckBox* m_runContinuously = nullptr;
    QButtonGroup* m_pages = nullptr;
    QButtonGroup* m_advance = nullptr;
};
