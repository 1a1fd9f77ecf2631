// The application object of the framework: idle processing, the key tables,
// command routing along view, document, main window and application, opening
// documents by name, the recent-file list and message pumping.
#pragma once

#include "model/framework/cmd_target.h"
#include "model/message_pump.h"
#include "model/resources/key_tables.h"
#include "model/wait_cursor.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

class CDocument;
class CFrameWnd;
class CScrollView;
class QSettings;

class CWinApp : public QObject, public CCmdTarget, public IMessagePump, public IWaitCursor {
    Q_OBJECT
public:
    // Call after the QApplication exists. `settings` is borrowed.
    explicit CWinApp(QSettings& settings);
    ~CWinApp() override;

    // Sets the program up; false ends it at once.
    virtual bool InitInstance() = 0;

    // Idle work, asked only when the top-level event loop is about to wait
    // (never inside a modal dialog's loop or inside PumpPendingMessages).
    // `count` counts the calls of one idle period from 0. Answer true to be
    // asked again; the next ask then comes after IdleWakeDelayMs() or with
    // the next event, so idle work never spins a core. The base refreshes
    // the main window's controls on the first call and answers false.
    virtual bool OnIdle(long count);
    // How long to wait before asking OnIdle again after it answered true;
    // negative: wait for the next event.
    virtual int IdleWakeDelayMs() const { return -1; }

    // Runs the event loop until the program ends; returns its exit code.
    int Run();

    // Milliseconds from a steady clock; tests can put in their own clock.
    std::uint32_t GetTickCount() const { return m_tick(); }
    void SetTickSource(std::function<std::uint32_t()> tick) { m_tick = std::move(tick); }

    // Dispatches every waiting event, then returns. A request to end the
    // program made meanwhile is carried out back in the main loop.
    void PumpPendingMessages() override;
    bool IsPumping() const { return m_pumpDepth > 0; }

    // Ends the program: closes the main window and leaves the event loop.
    void ExitApp();

    // Opens a document by name: a leading quotation mark is dropped and the
    // name is cut at the last quotation mark, then made a full path. Opening
    // the document already open only brings the main window forward. On
    // success the path joins the recent-file list, the caption is refreshed
    // and the view makes its initial update.
    bool OpenDocumentFile(const std::string& name);

    // Routes a command from a key, a button or a menu (dropped when disabled).
    bool RouteCommand(CommandId id);
    ControlState QueryCommand(CommandId id) const;

    // Looks a key press up in the key table the document hands out (or the
    // main window's own) and routes its command. True when the key was used.
    bool TranslateKey(VirtualKey key, std::uint8_t modifiers, char32_t typed = 0);

    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    QStringList RecentFiles() const;

    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_pMainWnd = nullptr;
    CScrollView* m_pView = nullptr;

protected:
    // Leaves the top-level event loop; tests override it.
    virtual void QuitEventLoop();
    // The full path of a name given to OpenDocumentFile; the base keeps it.
    virtual std::string MakeFullPath(const std::string& name) const { return name; }
    void AddToRecentFileList(const std::string& path);
    // Sets the routing chain from the document, view and main window.
    void UpdateRoutingChain();
    QSettings& Settings() { return m_settings; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnAboutToBlock();

    QSettings& m_settings;
    CommandRouter m_router;
    std::function<std::uint32_t()> m_tick;
    QTimer m_wakeTimer;
    bool m_inIdle = false;
    int m_pumpDepth = 0;
    bool m_exitPending = false;
    int m_waitDepth = 0;
};
