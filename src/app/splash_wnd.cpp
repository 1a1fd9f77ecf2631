#include "app/splash_wnd.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

CSplashWnd::CSplashWnd()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool CSplashWnd::Create() {
    m_picture = QPixmap(":/bitmaps/splash.bmp");
    if (m_picture.isNull())
        return false;
    setFixedSize(m_picture.size());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
    return true;
}

void CSplashWnd::DropTopMost() {
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
