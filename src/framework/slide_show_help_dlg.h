// The list of the slide show's keys ("Slide Show Help"), placed as in its
// 255 x 88 template. Its one button, OK, closes it as a cancel (id 2).
#pragma once

#include <QDialog>

class CSlideShowHelpDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSlideShowHelpDlg(QWidget* parent);
};
