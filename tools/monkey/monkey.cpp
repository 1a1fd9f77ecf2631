#include "monkey.h"

#include "app/volume_app.h"
#include "mainframe/main_frame.h"
#include "slideshow/slide_show_wnd.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Between two turns of the monkey: long enough for the event loop to wait,
// so the program's idle work (the bars' enabled states) runs as it would.
constexpr int kTickMs = 2;

} // namespace

Monkey::Monkey(std::uint64_t seed, int actions, MonkeyFiles files, std::ostream& log)
    : m_random(seed), m_actions(actions), m_files(std::move(files)), m_log(log) {}

void Monkey::Attach(CVolumeApp* app) {
    m_app = app;
    // Steps aimed at the windows of an ended run have no one to go to.
    m_steps.clear();
    if (app)
        m_log << "-- the program starts" << std::endl;
}

void Monkey::Start() {
    QTimer::singleShot(kTickMs, this, &Monkey::Tick);
}

void Monkey::Tick() {
    if (m_stage == Stage::Over)
        return;
    // The next turn is asked for first: what this one starts may open a
    // modal dialog, whose own event loop then runs the following turns.
    QTimer::singleShot(kTickMs, this, &Monkey::Tick);
    ++m_heartbeat;
    if (!m_app || !m_steps.empty())
        return;
    if (m_stage != Stage::Playing) {
        Finish();
        return;
    }
    if (m_done >= m_actions) {
        m_log << "-- " << m_done << " actions done; closing" << std::endl;
        EnterStage(Stage::Closing);
        return;
    }
    m_input.Pause();
    if (QWidget* popup = QApplication::activePopupWidget())
        ActOnPopup(popup);
    else if (QWidget* modal = QApplication::activeModalWidget())
        ActOnModal(modal);
    else if (QWidget* show = ShowWindow())
        ActOnShow(show);
    else
        ActOnMainWindow();
    if (!m_steps.empty())
        QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
}

void Monkey::RunSteps() {
    if (m_steps.empty())
        return;
    std::function<void()> step = std::move(m_steps.front());
    m_steps.pop_front();
    // The rest are posted before this step runs: if it opens a modal
    // dialog, they are delivered from the dialog's event loop.
    if (!m_steps.empty())
        QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
    ++m_depth;
    step();
    --m_depth;
}

bool Monkey::ProgramEnded() {
    m_steps.clear();
    if (m_stage == Stage::Goodbye || m_stage == Stage::Over) {
        m_stage = Stage::Over;
        return false;
    }
    m_log << "-- the program ended (Goodbye); it starts again" << std::endl;
    if (m_stage != Stage::Playing)
        EnterStage(Stage::Closing);
    return true;
}

void Monkey::Post(std::function<void()> step) {
    m_steps.push_back(std::move(step));
}

void Monkey::Record(const std::string& kind, const std::string& detail) {
    ++m_counts[kind];
    ++m_done;
    m_log << m_done << '\t' << kind << '\t' << detail << std::endl;
}

int Monkey::Pick(int n) {
    return n <= 1 ? 0 : static_cast<int>(m_random() % static_cast<std::uint64_t>(n));
}

bool Monkey::Chance(int percent) {
    return Pick(100) < percent;
}

QPoint Monkey::PointIn(const QRect& r) {
    return {r.left() + Pick(std::max(1, r.width())), r.top() + Pick(std::max(1, r.height()))};
}

void Monkey::PostClick(QWindow* window, QPoint at, Qt::MouseButton button,
                       Qt::KeyboardModifiers mods) {
    QPointer<QWindow> w(window);
    Post([this, w, at] {
        if (w)
            m_input.Move(w, at);
    });
    Post([this, w, at, button, mods] {
        if (w)
            m_input.Press(w, at, button, mods);
    });
    Post([this, w, at, button, mods] { m_input.Release(w, at, button, mods); });
}

void Monkey::PostDoubleClick(QWindow* window, QPoint at) {
    PostClick(window, at, Qt::LeftButton);
    // The second click follows at once: Qt makes the second press a double click.
    QPointer<QWindow> w(window);
    Post([this, w, at] {
        if (w)
            m_input.Press(w, at, Qt::LeftButton, Qt::NoModifier);
    });
    Post([this, w, at] { m_input.Release(w, at, Qt::LeftButton, Qt::NoModifier); });
}

void Monkey::PostDrag(QWindow* window, const std::vector<QPoint>& path, Qt::MouseButton button) {
    QPointer<QWindow> w(window);
    Post([this, w, at = path.front()] {
        if (w)
            m_input.Move(w, at);
    });
    Post([this, w, at = path.front(), button] {
        if (w)
            m_input.Press(w, at, button, Qt::NoModifier);
    });
    for (std::size_t i = 1; i < path.size(); ++i) {
        Post([this, w, at = path[i]] {
            if (w)
                m_input.Move(w, at);
        });
    }
    Post([this, w, at = path.back(), button] { m_input.Release(w, at, button, Qt::NoModifier); });
}

void Monkey::PostKey(QWindow* window, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QPointer<QWindow> w(window);
    Post([this, w, key, mods, text] {
        if (w)
            m_input.Key(w, true, key, mods, text);
    });
    Post([this, w, key, mods, text] {
        if (w)
            m_input.Key(w, false, key, mods, text);
    });
}

void Monkey::PostText(QWindow* window, const QString& text) {
    for (QChar c : text) {
        // Qt's key codes of printable ASCII characters are their upper-case codes.
        const int key = c.toUpper().unicode();
        PostKey(window, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

void Monkey::ClickWidget(QWidget* widget, bool centre) {
    QWidget* top = widget->window();
    const QRect inside = widget->rect();
    const QPoint at = centre ? inside.center() : PointIn(inside);
    PostClick(top->windowHandle(), widget->mapTo(top, at), Qt::LeftButton);
}

QWidget* Monkey::MainWindow() const {
    // The frame exists from part-way through InitInstance on.
    return m_app && m_app->m_pMainWnd ? &m_app->Frame() : nullptr;
}

QWindow* Monkey::MainWindowHandle() const {
    QWidget* frame = MainWindow();
    return frame ? frame->windowHandle() : nullptr;
}

QWidget* Monkey::ShowWindow() const {
    CSlideShowWnd* show = MainWindow() ? m_app->Frame().SlideShowWnd() : nullptr;
    return show && show->isVisible() && show->windowHandle() ? show : nullptr;
}

void Monkey::customEvent(QEvent* event) {
    if (event->type() == QEvent::User)
        m_answered = true;
}
