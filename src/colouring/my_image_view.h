// The view the main window shows a page in: the image view with the
// colouring view's picture rules (thirty-colour palettes, failure messages,
// which file a page shows), the volume's background colour and its chooser,
// and in colouring mode the colouring tools on its canvas.
#pragma once

#include "display/image_view.h"
#include "model/colouring/colouring_tools.h"
#include "model/display/page_picture.h"
#include "model/mainframe/running_state.h"

#include <functional>

class CPaintWnd;
class CPictureWnd;
class CVolDoc;
class HostPaths;
class IDialogs;
class IEffectSounds;
class IMessagePump;

class CMyImageView : public CImageView {
    Q_OBJECT
public:
    // All borrowed; they outlive the view.
    CMyImageView(CVolDoc& doc, const HostPaths& paths, IDialogs& dialogs, const RunningState& state,
                 IMessagePump& pump, IEffectSounds& sounds, QWidget* parent = nullptr);
    ~CMyImageView() override;

    PagePicture& Picture() override { return m_picture; }
    ColouringPagePicture& Colouring() { return m_picture; }
    CPictureWnd* GetPictureWnd() override;
    CPaintWnd* GetPaintWnd() { return m_canvas; }

    // Loads the picture page n shows and lays the view out for it.
    int LoadPage(int n);

    // Background colour from the volume, then page 1.
    void OnInitialUpdate() override;

    // The mode the main window is in. Colouring mode reads the current page's
    // original and composes the line mask: 1, or 0 when the original cannot
    // be read (FailedOriginal() names it; the tools then ignore the mouse).
    // Viewer mode drops the colouring buffers and undo steps: 1.
    int SetColoringMode(Mode mode);
    Mode GetColoringMode() const { return m_nColoringMode; }
    const std::string& FailedOriginal() const { return m_failedOriginal; }

    // Takes back the newest colouring step; nothing when there is none.
    void Undo() { m_tools.Undo(); }
    int GetUndoCount() const { return m_tools.GetUndoCount(); }

    // What a double click on the picture asks for (the main window decides
    // whether colouring may start).
    void SetCanvasDoubleClickHandler(std::function<void()> handler);
    // While a slide show runs, a left click on the view around the canvas
    // asks the show for the next slide (+1) and a right click for the one
    // before (-1); otherwise those clicks do nothing.
    void SetSlideShowClickHandler(std::function<void(int step)> handler) {
        m_onShowClick = std::move(handler);
    }

    // The background-colour chooser: a confirmed colour becomes the view's and
    // the volume's; in every case the view's colour is then written to the
    // volume file ("Options", "BackColor"). Nothing while a slide show runs.
    void ChooseBackColor();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CVolDoc& m_doc;
    const HostPaths& m_paths;
    IDialogs& m_dialogs;
    ColouringPagePicture m_picture;
    CPaintWnd* m_canvas;
    const RunningState& m_state;
    ColouringTools m_tools;
    Mode m_nColoringMode = Mode::Viewer;
    std::string m_failedOriginal;
    std::function<void(int)> m_onShowClick;
};
