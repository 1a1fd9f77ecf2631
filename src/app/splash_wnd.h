// The start-up picture: a borderless window above all others, centred on the
// screen, showing the compiled-in picture at its own size.
#pragma once

#include <QPixmap>
#include <QWidget>

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    CSplashWnd();

    // False when the picture could not be loaded (the window shows nothing then).
    bool Create();
    // Takes the window out of the top-most layer, so a message box can be seen.
    void DropTopMost();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};
