// The monkey's closing stages: close every dialog, popup and show; the
// program answers a posted event; the sample book is open in viewer mode;
// Home and Page Down really turn its pages; Goodbye ends the program.
#include "monkey.h"

#include "app/volume_app.h"
#include "colouring/my_image_view.h"
#include "controls/coloring_bar.h"
#include "controls/hand_button.h"
#include "controls/viewer_bar.h"
#include "mainframe/main_frame.h"
#include "model/volume/vol_doc.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QWindow>

namespace {

// How long each closing stage may take before it counts as failed.
constexpr int kStageMs = 20000;
constexpr int kAnswerMs = 5000;

} // namespace

void Monkey::EnterStage(Stage stage) {
    m_stage = stage;
    m_stageTries = 0;
    m_stageClock.start();
}

bool Monkey::StageTimedOut(int ms, const std::string& failure) {
    if (m_stageClock.elapsed() < ms)
        return false;
    m_failures.push_back(failure);
    m_log << "-- check failed: " << failure << std::endl;
    return true;
}

bool Monkey::CloseWhatIsOpen() {
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* show = ShowWindow();
    QWidget* open = popup ? popup : modal ? modal : show;
    if (!open)
        return false;
    ++m_stageTries;
    m_input.Pause();
    // Escape closes each of them; a dialog that ignores it gets its Cancel,
    // Close or OK button.
    QAbstractButton* button = nullptr;
    if (modal && !popup && m_stageTries % 3 == 0) {
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            const QString text = b->text().remove('&');
            if (b->isVisible() && b->isEnabled() &&
                (text == "Cancel" || text == "Close" || text == "OK"))
                button = b;
        }
    }
    if (button) {
        ClickWidget(button, true);
        m_log << "-- closing: " << button->text().toStdString() << " of "
              << modal->metaObject()->className() << std::endl;
    } else {
        PostKey(open->windowHandle(), Qt::Key_Escape, Qt::NoModifier, {});
        m_log << "-- closing: Escape to " << open->metaObject()->className() << std::endl;
    }
    QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
    return true;
}

void Monkey::Finish() {
    if (m_stage == Stage::Goodbye) {
        // The program ends with Goodbye; Run returns and Over() is asked.
        if (StageTimedOut(kStageMs, "Goodbye did not end the program")) {
            m_stage = Stage::Over;
            m_app->ExitApp();
        }
        return;
    }
    if (CloseWhatIsOpen()) {
        if (m_stage != Stage::Closing)
            EnterStage(Stage::Closing);
        if (StageTimedOut(kStageMs * 3, "the open dialogs and the show would not close")) {
            m_stage = Stage::Over;
            m_app->ExitApp();
        }
        return;
    }
    // The checks run from the top-level loop, not inside a step's pump.
    if (m_depth > 0 || !MainWindow())
        return;
    switch (m_stage) {
    case Stage::Closing:
        if (m_app->State().m_nMode == Mode::Colouring) {
            if (m_stageTries++ % 50 == 0) {
                ClickWidget(m_app->Frame().ColoringBar().Button(ID_DONE), true);
                QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
                m_log << "-- closing: Done" << std::endl;
            }
            if (StageTimedOut(kStageMs, "Done did not leave colouring mode"))
                EnterStage(Stage::Answering);
            return;
        }
        m_answered = false;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        EnterStage(Stage::Answering);
        return;
    case Stage::Answering:
        if (m_answered || StageTimedOut(kAnswerMs, "no answer to a posted event within 5 s"))
            EnterStage(Stage::Book);
        return;
    case Stage::Book:
        OpenSampleBook();
        return;
    case Stage::FirstPage:
    case Stage::NextPage:
        CheckPageKeys();
        return;
    default:
        return;
    }
}

void Monkey::OpenSampleBook() {
    const std::string sample =
        QFileInfo(m_files.sample).absoluteFilePath().toStdString(); // as the program keeps it
    if (m_app->Doc().GetPathName() == sample && m_app->Doc().GetPageCount() >= 2) {
        m_log << "-- the sample book is open" << std::endl;
        EnterStage(Stage::FirstPage);
        return;
    }
    if (m_stageTries++ % 100 == 0) {
        QPointer<QWindow> w(MainWindowHandle());
        const QPoint at = MainWindow()->rect().center();
        const QString file = m_files.sample;
        Post([this, w, at, file] {
            if (w)
                m_input.Drop(w, at, file);
        });
        QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
        m_log << "-- closing: the sample book dropped on the window" << std::endl;
    }
    if (StageTimedOut(kStageMs, "the sample book did not open when dropped on the window"))
        EnterStage(Stage::Goodbye);
}

void Monkey::CheckPageKeys() {
    const int page = m_app->State().m_nCurPage;
    const std::string& shown = m_app->View().Picture().CurrentFileName();
    if (m_stage == Stage::FirstPage && m_stageTries == 0) {
        ++m_stageTries;
        PostKey(MainWindowHandle(), Qt::Key_Home, Qt::NoModifier, {});
        QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
        return;
    }
    if (m_stage == Stage::FirstPage && page == 1) {
        m_firstPageFile = shown;
        EnterStage(Stage::NextPage);
        ++m_stageTries;
        PostKey(MainWindowHandle(), Qt::Key_PageDown, Qt::NoModifier, {});
        QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
        return;
    }
    if (m_stage == Stage::NextPage && page == 2 && shown != m_firstPageFile) {
        m_log << "-- Home and Page Down turned to page 2 (" << shown << ")" << std::endl;
    } else if (!StageTimedOut(kStageMs, m_stage == Stage::FirstPage
                                            ? "Home did not turn to page 1"
                                            : "Page Down did not turn to page 2")) {
        return;
    }
    EnterStage(Stage::Goodbye);
    ClickWidget(m_app->Frame().ViewerBar().Button(ID_APP_EXIT), true);
    QMetaObject::invokeMethod(this, &Monkey::RunSteps, Qt::QueuedConnection);
    m_log << "-- Goodbye" << std::endl;
}
