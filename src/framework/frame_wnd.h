// A top-level frame window: the view fills it, bars run along its bottom
// edge, files dropped on it are opened as documents, and it owns the key
// table used when the document hands out none.
#pragma once

#include "model/framework/cmd_target.h"
#include "model/resources/key_tables.h"

#include <QWidget>

class CWinApp;
class QUrl;
class QVBoxLayout;

class CFrameWnd : public QWidget, public CCmdTarget {
    Q_OBJECT
public:
    // `app` is borrowed and outlives the window.
    explicit CFrameWnd(CWinApp& app);

    // Puts the view in (above any bars); the frame does not own it beyond Qt parenthood.
    void SetView(QWidget* view);
    // Adds a bar along the bottom edge, under the view.
    void AddBottomBar(QWidget* bar);

    // Refreshes the caption; the base shows the application's name.
    virtual void OnUpdateFrameTitle();
    // Refreshes every visible control from the update rules (called at idle).
    virtual void OnUpdateCmdUI() {}
    // The frame's own key table, used when the document hands out none.
    virtual const KeyTable* GetOwnKeyTable() const { return nullptr; }

    CWinApp& App() { return m_app; }

    // Opens dropped files in turn as documents; the last that opens stays.
    // Nothing while CanOpenDocuments() says no.
    void OpenDroppedFiles(const QList<QUrl>& urls);
    // Whether documents may be opened now; the base always allows it.
    virtual bool CanOpenDocuments() const { return true; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CWinApp& m_app;
    QVBoxLayout* m_layout;
};
