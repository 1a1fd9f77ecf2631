// The monkey: plays with the running program for a given number of random
// actions, as a child at the keyboard and mouse would, then closes whatever
// is open and checks that the program still answers.
//
// Each action is decided by a seeded generator and made of input steps (a
// press, a move, a key going up) that are posted one by one, so a step that
// opens a modal dialog leaves the remaining steps and the next actions to the
// dialog's own event loop, as a real user's input would be. While a modal
// dialog or a popup is up, actions go to it. The times of sounds and of the
// slide show's beat are real, so a replay with the same seed makes the same
// choices but may meet the program in another state.
#pragma once

#include "fake_input.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

class CVolumeApp;
class QWidget;
class QWindow;
struct KeyTable;

// The files the monkey drops on the window and types into the open dialog.
struct MonkeyFiles {
    QString sample;       // the book the run starts with and ends on
    QString instructions; // the colouring instructions
    QString disc;         // a book on a drive that is not there
    QString notAVolume;   // a file that is not a volume
    QString missing;      // a name with no file
};

class Monkey : public QObject {
public:
    // `log` gets one line per action and outlives the monkey.
    Monkey(std::uint64_t seed, int actions, MonkeyFiles files, std::ostream& log);

    // The program's application object while it runs; null between runs.
    void Attach(CVolumeApp* app);
    // Starts the actions; they run inside whichever event loop is running.
    void Start();

    // Told when the program's event loop has returned. True when the run is
    // not over, so the program is to start again: Goodbye was pressed during
    // the actions (or the closing checks, which then begin again).
    bool ProgramEnded();
    // True once the closing checks are over and the program has ended.
    bool Over() const { return m_stage == Stage::Over; }
    int ActionsDone() const { return m_done; }
    const std::map<std::string, int>& Counts() const { return m_counts; }
    // The closing checks that failed, one sentence each.
    const std::vector<std::string>& Failures() const { return m_failures; }
    // Counts up with every turn of the monkey's timer, from any event loop;
    // a watchdog thread may read it.
    const std::atomic<std::uint64_t>& Heartbeat() const { return m_heartbeat; }

protected:
    void customEvent(QEvent* event) override;

private:
    enum class Stage { Playing, Closing, Answering, Book, FirstPage, NextPage, Goodbye, Over };

    void Tick();
    void RunSteps();
    void Post(std::function<void()> step);
    void Record(const std::string& kind, const std::string& detail);

    // Random choices.
    int Pick(int n);
    bool Chance(int percent);
    QPoint PointIn(const QRect& r);

    // Input steps aimed at a window, in its own coordinates.
    void PostClick(QWindow* window, QPoint at, Qt::MouseButton button,
                   Qt::KeyboardModifiers mods = Qt::NoModifier);
    void PostDoubleClick(QWindow* window, QPoint at);
    void PostDrag(QWindow* window, const std::vector<QPoint>& path, Qt::MouseButton button);
    void PostKey(QWindow* window, int key, Qt::KeyboardModifiers mods, const QString& text);
    void PostText(QWindow* window, const QString& text);
    // A click on a widget: at a random point inside it, or at its centre.
    void ClickWidget(QWidget* widget, bool centre = false);

    // The actions (monkey_actions.cpp).
    void ActOnModal(QWidget* modal);
    void ActOnFileDialog(QWidget* dialog);
    void ActOnPopup(QWidget* popup);
    void ActOnShow(QWidget* show);
    void ActOnMainWindow();
    void ActOnBar();
    void ActOnCanvas();
    void ActOnPageList();
    void TableKey(QWindow* window, const KeyTable& table, const char* kind);
    void OtherKey(QWindow* window);
    void ClickAnywhere(QWidget* top, const char* kind);
    void DropVolume();
    void ShowToolTip();
    const QString& RandomVolumeFile(std::string& name);

    // The closing stages (monkey_finish.cpp).
    void Finish();
    bool CloseWhatIsOpen();
    void EnterStage(Stage stage);
    bool StageTimedOut(int ms, const std::string& failure);
    void OpenSampleBook();
    void CheckPageKeys();

    QWidget* ShowWindow() const;
    QWidget* MainWindow() const;
    QWindow* MainWindowHandle() const;

    std::mt19937_64 m_random;
    int m_actions;
    int m_done = 0;
    MonkeyFiles m_files;
    std::ostream& m_log;
    CVolumeApp* m_app = nullptr;
    FakeInput m_input;
    std::deque<std::function<void()>> m_steps;
    int m_depth = 0; // steps running, one inside another's modal loop or pump
    std::map<std::string, int> m_counts;
    std::vector<std::string> m_failures;
    std::atomic<std::uint64_t> m_heartbeat{0};

    Stage m_stage = Stage::Playing;
    QElapsedTimer m_stageClock;
    int m_stageTries = 0;
    bool m_answered = false;
    std::string m_firstPageFile;
};
