#include "framework/frame_wnd.h"

#include "framework/win_app.h"
#include "model/resources/string_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

CFrameWnd::CFrameWnd(CWinApp& app) : m_app(app), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setAcceptDrops(true);
}

void CFrameWnd::SetView(QWidget* view) {
    m_layout->insertWidget(0, view, 1);
}

void CFrameWnd::AddBottomBar(QWidget* bar) {
    m_layout->addWidget(bar, 0);
}

void CFrameWnd::OnUpdateFrameTitle() {
    setWindowTitle(QString::fromStdString(std::string(LoadString(IDS_APP_TITLE))));
}

void CFrameWnd::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CFrameWnd::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    OpenDroppedFiles(urls);
}

void CFrameWnd::OpenDroppedFiles(const QList<QUrl>& urls) {
    if (!CanOpenDocuments())
        return;
    activateWindow();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            m_app.OpenDocumentFile(url.toLocalFile().toStdString());
    }
}

void CFrameWnd::closeEvent(QCloseEvent* event) {
    // Closing the main window (by the window manager) ends the program too.
    event->accept();
    m_app.ExitApp();
}
