// The slide show's full-screen window: a borderless window on top of all
// others, the size of the screen, with its own view of the open volume and
// no pointer. The show's logic is SlideShow's (model); this window turns the
// beat, the keys of key table 5, the clicks and the end notices into its
// calls and carries out what it asks (pictures, the beat, the pointer).
#pragma once

#include "model/pixel_buffer.h"
#include "model/slideshow/slide_show.h"

#include <QTimer>
#include <QWidget>

class CMyImageView;
class CVolDoc;
class CWinApp;
class HostPaths;
class IDialogs;
class SoundService;
struct RunningState;

class CSlideShowWnd : public QWidget, private ISlideShowWindow {
    Q_OBJECT
public:
    // A show of `info` over the main window `owner` (its child window, so it
    // goes with it). Everything else is borrowed and outlives the window.
    // The show's view takes the background colour `backColor`.
    CSlideShowWnd(const CSlideShowInfo& info, QWidget* owner, CWinApp& app, RunningState& state,
                  CVolDoc& doc, const HostPaths& paths, IDialogs& dialogs, SoundService& sound,
                  ISlideShowOwner& showOwner, ColorRef backColor);
    ~CSlideShowWnd() override;

    SlideShow& Show() { return m_show; }
    CMyImageView& View() { return *m_view; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    // ISlideShowWindow
    void LoadPicture(const std::string& storedPath) override;
    void LoadPage(int page) override;
    void StartBeat() override { m_beat.start(); }
    void StopBeat() override { m_beat.stop(); }
    void HidePointer() override;
    void ShowPointer() override;
    void ShowWindow() override;
    MediaNoticeSink NoticeSink() override;
    bool ModalDialogUp() const override;
    void CloseLater() override;

    void SetPointer(const QCursor* cursor);

    CWinApp& m_app;
    CMyImageView* m_view; // a child of this window
    QTimer m_beat;
    SlideShow m_show;
    bool m_closing = false;
};
