#include "framework/win_app.h"

#include "framework/frame_wnd.h"
#include "framework/key_map.h"
#include "framework/scroll_view.h"
#include "model/framework/document.h"
#include "platform/text_util.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QSettings>

#include <chrono>

namespace {

constexpr int kRecentFiles = 4;

std::uint32_t SteadyTicks() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

CWinApp::CWinApp(QSettings& settings) : m_settings(settings), m_tick(SteadyTicks) {
    m_wakeTimer.setSingleShot(true);
    // The timer only wakes the event loop; the idle work runs when it is about to block again.
    connect(&m_wakeTimer, &QTimer::timeout, this, [] {});
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &CWinApp::OnAboutToBlock);
    qApp->installEventFilter(this);
}

CWinApp::~CWinApp() {
    qApp->removeEventFilter(this);
}

int CWinApp::Run() {
    return QApplication::exec();
}

void CWinApp::OnAboutToBlock() {
    // Idle work belongs to the top-level loop alone: not inside a modal
    // dialog, not inside a pump, and never re-entered.
    if (m_inIdle || m_pumpDepth > 0 || QApplication::activeModalWidget())
        return;
    m_inIdle = true;
    bool more = OnIdle(0);
    m_inIdle = false;
    if (more) {
        int delay = IdleWakeDelayMs();
        if (delay >= 0)
            m_wakeTimer.start(delay);
    }
}

bool CWinApp::OnIdle(long count) {
    if (count == 0 && m_pMainWnd)
        m_pMainWnd->OnUpdateCmdUI();
    return false;
}

void CWinApp::PumpPendingMessages() {
    ++m_pumpDepth;
    QApplication::processEvents(QEventLoop::AllEvents);
    --m_pumpDepth;
    if (m_pumpDepth == 0 && m_exitPending) {
        m_exitPending = false;
        QMetaObject::invokeMethod(this, &CWinApp::ExitApp, Qt::QueuedConnection);
    }
}

void CWinApp::ExitApp() {
    if (m_pumpDepth > 0) {
        m_exitPending = true;
        return;
    }
    if (m_pMainWnd)
        m_pMainWnd->hide();
    QuitEventLoop();
}

void CWinApp::QuitEventLoop() {
    QApplication::quit();
}

bool CWinApp::OpenDocumentFile(const std::string& name) {
    if (!m_pDocument)
        return false;
    std::string full = MakeFullPath(StripQuotationMarks(name));
    if (!full.empty() && full == m_pDocument->GetPathName()) {
        if (m_pMainWnd) {
            m_pMainWnd->raise();
            m_pMainWnd->activateWindow();
        }
        return true;
    }
    if (!m_pDocument->OnOpenDocument(full))
        return false;
    AddToRecentFileList(m_pDocument->GetPathName());
    if (m_pMainWnd)
        m_pMainWnd->OnUpdateFrameTitle();
    if (m_pView)
        m_pView->OnInitialUpdate();
    return true;
}

void CWinApp::UpdateRoutingChain() {
    m_router.SetChain({m_pView, m_pDocument, m_pMainWnd, this});
}

bool CWinApp::RouteCommand(CommandId id) {
    return m_router.Execute(id);
}

ControlState CWinApp::QueryCommand(CommandId id) const {
    return m_router.Query(id);
}

bool CWinApp::TranslateKey(VirtualKey key, std::uint8_t modifiers, char32_t typed) {
    const KeyTable* table = m_pDocument ? m_pDocument->GetDefaultAccelerator() : nullptr;
    if (!table && m_pMainWnd)
        table = m_pMainWnd->GetOwnKeyTable();
    if (!table)
        return false;
    std::optional<CommandId> command = LookUpKey(*table, key, modifiers, typed);
    if (!command)
        return false;
    RouteCommand(*command);
    return true;
}

bool CWinApp::eventFilter(QObject* watched, QEvent* event) {
    // Keys reach the key table before the focused widget, so a scroll view or
    // a list cannot swallow Page Up, Page Down, Home and End. Not while a
    // modal dialog is up, and only for keys aimed at the main window.
    // A pump dispatches waiting events without translating keys through the
    // table, as the message pumping of the sound operations is meant to.
    if (event->type() == QEvent::KeyPress && m_pMainWnd && m_pumpDepth == 0 &&
        !QApplication::activeModalWidget()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == m_pMainWnd) {
            if (auto press = KeyPressOf(*static_cast<QKeyEvent*>(event)))
                return TranslateKey(press->key, press->modifiers, press->typed);
        }
    }
    return QObject::eventFilter(watched, event);
}

void CWinApp::BeginWaitCursor() {
    if (m_waitDepth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CWinApp::EndWaitCursor() {
    if (m_waitDepth > 0 && --m_waitDepth == 0)
        QApplication::restoreOverrideCursor();
}

QStringList CWinApp::RecentFiles() const {
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        QString f = m_settings.value(QString("Recent File List/File%1").arg(i)).toString();
        if (!f.isEmpty())
            files << f;
    }
    return files;
}

void CWinApp::AddToRecentFileList(const std::string& path) {
    QStringList files = RecentFiles();
    QString p = QString::fromStdString(path);
    files.removeAll(p);
    files.prepend(p);
    for (int i = 1; i <= kRecentFiles; ++i) {
        QString key = QString("Recent File List/File%1").arg(i);
        if (i <= files.size())
            m_settings.setValue(key, files[i - 1]);
        else
            m_settings.remove(key);
    }
}
