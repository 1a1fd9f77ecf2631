#include "framework/slide_show_help_dlg.h"

#include "framework/qt_dialogs.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Each row of the key list: the keys (left column) and what they do (right
// column), at the row's top in dialog units. A two-line row takes 16 units.
struct HelpRow {
    const char* keys;
    const char* action;
    int y;
    int lines;
};

constexpr HelpRow kRows[] = {
    {"Mouse click, space, 'N', right\narrow, down arrow, or page down", "Advance to the next page",
     24, 2},
    {"Right click, backspace, 'P', left\narrow, up arrow, or page up",
     "Return to the previous page", 44, 2},
    {"'S' or '+'", "Stop/Restart show", 64, 1},
    {"Esc, Ctrl+Break, or '-'", "End slide show", 76, 1},
};

QLabel* Text(const QString& text, const QRect& units, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(FromDialogUnits(units));
    return label;
}

} // namespace

CSlideShowHelpDlg::CSlideShowHelpDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Slide Show Help");
    setModal(true);
    setFont(DialogFont());
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("2");
    ok->setGeometry(FromDialogUnits(QRect(211, 5, 40, 14)));
    ok->setDefault(true);
    // Its id is the cancel id: OK just closes the list.
    connect(ok, &QPushButton::clicked, this, &QDialog::reject);
    Text("During the slide show:", QRect(5, 8, 120, 8), this);
    for (const HelpRow& row : kRows) {
        Text(row.keys, QRect(5, row.y, 122, 8 * row.lines), this);
        Text(row.action, QRect(128, row.y, 122, 8), this);
    }
    setFixedSize(FromDialogUnits(QRect(0, 0, 255, 88)).size());
}
