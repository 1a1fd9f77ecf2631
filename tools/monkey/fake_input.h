// A user's input made up at the window system's level. Mouse and key events
// go to Qt as the platform would hand them over, so Qt's own rules apply:
// a window blocked by a modal dialog gets nothing, a press outside an open
// popup closes it, two quick presses at one place make a double click, and
// keys go to the focused widget of the window. The wheel and drops, for
// which Qt exports no such entry, are sent to the widget under the point.
#pragma once

#include <QEvent>
#include <QPoint>
#include <QString>

class QWidget;
class QWindow;

class FakeInput {
public:
    // The event clock: every event is stamped a little later than the one
    // before; Pause leaves a gap long enough that the next press is not
    // taken as the second half of a double click.
    void Pause() { m_time += 1000; }

    void Move(QWindow* window, QPoint at);
    void Press(QWindow* window, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    // With a null window (it went meanwhile) the button is only let go.
    void Release(QWindow* window, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    // One key going down (press true) or up, with the text it types.
    void Key(QWindow* window, bool press, int key, Qt::KeyboardModifiers mods, const QString& text);
    // One notch of the wheel up (+1) or down (-1) over the widget under `at`.
    // False when no widget of the window is there.
    bool Wheel(QWindow* window, QPoint at, int notches);
    // Drags `file` in from another program and drops it at `at`: the widget
    // under the point, or the nearest of its parents that takes drops, gets
    // the drag's entry and, when it accepts it, the drop. False when nobody
    // took it.
    bool Drop(QWindow* window, QPoint at, const QString& file);

    // The widget whose window this is, or null.
    static QWidget* WidgetOf(QWindow* window);
    // The deepest visible widget of the window at `at`, or null.
    static QWidget* WidgetAt(QWindow* window, QPoint at);

private:
    void Mouse(QWindow* window, QPoint at, Qt::MouseButton button, QEvent::Type type,
               Qt::KeyboardModifiers mods);

    int m_time = 1000;
    Qt::MouseButtons m_held;
};
