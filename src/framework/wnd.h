// A plain child window of the framework.
#pragma once

#include <QWidget>

class CWnd : public QWidget {
    Q_OBJECT
public:
    explicit CWnd(QWidget* parent = nullptr) : QWidget(parent) {}
};
