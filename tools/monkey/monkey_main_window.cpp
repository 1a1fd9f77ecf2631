// The monkey's actions on the main window: its bars, the page, keys of both
// key tables, the wheel, dropped files and tool tips.
#include "monkey.h"

#include "app/splash_wnd.h"
#include "app/volume_app.h"
#include "colouring/my_image_view.h"
#include "colouring/paint_wnd.h"
#include "controls/color_palette.h"
#include "controls/coloring_bar.h"
#include "controls/hand_button.h"
#include "controls/page_list_box.h"
#include "controls/tool_button.h"
#include "mainframe/main_frame.h"
#include "model/resources/key_tables.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QWidget>
#include <QWindow>

namespace {

std::string At(QPoint p) {
    return "(" + std::to_string(p.x()) + "," + std::to_string(p.y()) + ")";
}

// The bars' controls that show now.
std::vector<QWidget*> BarControls(QWidget* frame) {
    std::vector<QWidget*> controls;
    for (QWidget* w : frame->findChildren<QWidget*>()) {
        const bool control = qobject_cast<CHandButton*>(w) || qobject_cast<CToolButton*>(w) ||
                             qobject_cast<CColorPalette*>(w) || dynamic_cast<CPageListBox*>(w);
        if (control && w->isVisible())
            controls.push_back(w);
    }
    return controls;
}

std::string ControlName(const QWidget* w) {
    if (auto* hand = qobject_cast<const CHandButton*>(w))
        return "button " + std::to_string(hand->GetId()) + " " + hand->ShownFace().toStdString() +
               (hand->isEnabled() ? "" : " [disabled]");
    if (qobject_cast<const CToolButton*>(w))
        return "tool button";
    if (qobject_cast<const CColorPalette*>(w))
        return "colour well";
    return "page list";
}

} // namespace

void Monkey::ActOnMainWindow() {
    QWidget* frame = MainWindow();
    QWindow* window = MainWindowHandle();
    if (!frame || !window || !frame->isVisible())
        return;
    const CSplashWnd* splash = m_app->Splash();
    if (splash && splash->isVisible() && Chance(15)) {
        ClickAnywhere(const_cast<CSplashWnd*>(splash), "splash.click");
        return;
    }
    const int r = Pick(100);
    if (r < 24)
        ActOnBar();
    else if (r < 35)
        TableKey(window, kKeyTable2, "key.table2");
    else if (r < 40)
        TableKey(window, kKeyTable5, "key.table5");
    else if (r < 44)
        OtherKey(window);
    else if (r < 56)
        ClickAnywhere(frame, "click");
    else if (r < 62) {
        const QPoint at = PointIn(frame->rect());
        PostDoubleClick(window, at);
        Record("double_click", At(at));
    } else if (r < 82)
        ActOnCanvas();
    else if (r < 86) {
        const QPoint at = PointIn(frame->rect());
        const int notches = Pick(2) ? 1 + Pick(3) : -1 - Pick(3);
        QPointer<QWindow> w(window);
        Post([this, w, at, notches] {
            if (w)
                m_input.Wheel(w, at, notches);
        });
        Record("wheel", At(at) + " " + std::to_string(notches));
    } else if (r < 92)
        DropVolume();
    else if (r < 95)
        ShowToolTip();
    else
        ActOnPageList();
}

void Monkey::ActOnBar() {
    std::vector<QWidget*> controls = BarControls(MainWindow());
    if (controls.empty())
        return;
    QWidget* control = controls[Pick(static_cast<int>(controls.size()))];
    // Goodbye ends the program, which then starts again: now and then only.
    auto* hand = qobject_cast<CHandButton*>(control);
    if (hand && hand->GetId() == ID_APP_EXIT && !Chance(10))
        control = controls[Pick(static_cast<int>(controls.size()))];
    ClickWidget(control);
    const std::string name = ControlName(control);
    const QWidget* colouringBar = &m_app->Frame().ColoringBar();
    const bool colouring = control->parentWidget() == colouringBar;
    Record(colouring ? "bar.colouring" : "bar.viewer", name);
}

void Monkey::ActOnCanvas() {
    CPaintWnd* canvas = m_app->View().findChild<CPaintWnd*>();
    if (!canvas || !canvas->isVisible()) {
        // No canvas to colour on: the page gets a click.
        ClickAnywhere(&m_app->View(), "click.page");
        return;
    }
    QWidget* top = canvas->window();
    // Mostly inside the picture, sometimes straying out of it.
    const QRect area = canvas->rect().adjusted(-20, -20, 20, 20);
    std::vector<QPoint> path{PointIn(canvas->rect())};
    for (int i = 0, n = Pick(10); i < n; ++i) {
        QPoint next = path.back() + QPoint(Pick(121) - 60, Pick(121) - 60);
        next.setX(std::clamp(next.x(), area.left(), area.right()));
        next.setY(std::clamp(next.y(), area.top(), area.bottom()));
        path.push_back(next);
    }
    const bool right = Chance(10);
    std::string detail = right ? "right" : "left";
    for (QPoint& p : path) {
        detail += " " + At(p);
        p = canvas->mapTo(top, p);
    }
    PostDrag(top->windowHandle(), path, right ? Qt::RightButton : Qt::LeftButton);
    Record("canvas.drag", detail);
}

void Monkey::ActOnPageList() {
    CPageListBox* list = nullptr;
    for (QComboBox* box : MainWindow()->findChildren<QComboBox*>()) {
        if (auto* l = dynamic_cast<CPageListBox*>(box))
            list = l;
    }
    if (!list || !list->isVisible())
        return;
    if (Chance(60)) {
        ClickWidget(list);
        Record("page_list.click", list->isEnabled() ? "" : "[disabled]");
        return;
    }
    QWidget* top = list->window();
    const QPoint at = list->mapTo(top, PointIn(list->rect()));
    const int notches = Chance(50) ? 1 : -1;
    QPointer<QWindow> w(top->windowHandle());
    Post([this, w, at, notches] {
        if (w)
            m_input.Wheel(w, at, notches);
    });
    Record("page_list.wheel", std::to_string(notches));
}

void Monkey::ClickAnywhere(QWidget* target, const char* kind) {
    QWidget* top = target->window();
    const QPoint at = target->mapTo(top, PointIn(target->rect()));
    const int r = Pick(100);
    const Qt::MouseButton button = r < 80   ? Qt::LeftButton
                                   : r < 95 ? Qt::RightButton
                                            : Qt::MiddleButton;
    const Qt::KeyboardModifiers mods = Chance(10) ? Qt::ShiftModifier : Qt::NoModifier;
    PostClick(top->windowHandle(), at, button, mods);
    Record(kind, At(at) + (button == Qt::LeftButton    ? " left"
                           : button == Qt::RightButton ? " right"
                                                       : " middle"));
}

const QString& Monkey::RandomVolumeFile(std::string& name) {
    const int r = Pick(100);
    name = r < 35   ? "sample"
           : r < 55 ? "instructions"
           : r < 70 ? "disc"
           : r < 85 ? "not_a_volume"
                    : "missing";
    return r < 35   ? m_files.sample
           : r < 55 ? m_files.instructions
           : r < 70 ? m_files.disc
           : r < 85 ? m_files.notAVolume
                    : m_files.missing;
}

void Monkey::DropVolume() {
    std::string which;
    const QString file = RandomVolumeFile(which);
    QWidget* frame = MainWindow();
    const QPoint at = PointIn(frame->rect());
    QPointer<QWindow> w(frame->windowHandle());
    Post([this, w, at, file] {
        if (w)
            m_input.Drop(w, at, file);
    });
    Record("drop." + which, At(at));
}

void Monkey::ShowToolTip() {
    std::vector<QWidget*> controls = BarControls(MainWindow());
    if (controls.empty())
        return;
    QWidget* control = controls[Pick(static_cast<int>(controls.size()))];
    const QPoint at = PointIn(control->rect());
    QPointer<QWidget> target(control);
    // The pointer rests over a control: the tip (and its spoken prompt) comes.
    Post([target, at] {
        if (!target)
            return;
        QHelpEvent event(QEvent::ToolTip, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
    });
    Record("tooltip", ControlName(control));
}
