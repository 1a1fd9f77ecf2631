// The view the main window shows a page in: the image view with the
// colouring view's picture rules (thirty-colour palettes, failure messages,
// which file a page shows), the volume's background colour and its chooser.
#pragma once

#include "display/image_view.h"
#include "model/display/page_picture.h"
#include "model/mainframe/running_state.h"

class CPictureWnd;
class CVolDoc;
class HostPaths;
class IDialogs;
struct RunningState;

class CMyImageView : public CImageView {
    Q_OBJECT
public:
    // All borrowed; they outlive the view.
    CMyImageView(CVolDoc& doc, const HostPaths& paths, IDialogs& dialogs, const RunningState& state,
                 QWidget* parent = nullptr);

    PagePicture& Picture() override { return m_picture; }
    ColouringPagePicture& Colouring() { return m_picture; }
    CPictureWnd* GetPictureWnd() override { return m_canvas; }

    // Loads the picture page n shows and lays the view out for it.
    int LoadPage(int n);

    // Background colour from the volume, then page 1.
    void OnInitialUpdate() override;

    // The mode the main window is in.
    void SetColoringMode(Mode mode) { m_nColoringMode = mode; }
    Mode GetColoringMode() const { return m_nColoringMode; }

    // The background-colour chooser: a confirmed colour becomes the view's and
    // the volume's; in every case the view's colour is then written to the
    // volume file ("Options", "BackColor"). Nothing while a slide show runs.
    void ChooseBackColor();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CVolDoc& m_doc;
    IDialogs& m_dialogs;
    ColouringPagePicture m_picture;
    CPictureWnd* m_canvas;
    const RunningState& m_state;
    Mode m_nColoringMode = Mode::Viewer;
};
