#include "slideshow/slide_show_wnd.h"

#include "colouring/my_image_view.h"
#include "colouring/paint_wnd.h"
#include "framework/key_map.h"
#include "framework/media_notice.h"
#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/resources/key_tables.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {

constexpr int kBeatMs = 1000;

} // namespace

CSlideShowWnd::CSlideShowWnd(const CSlideShowInfo& info, QWidget* owner, CWinApp& app,
                             RunningState& state, CVolDoc& doc, const HostPaths& paths,
                             IDialogs& dialogs, SoundService& sound, ISlideShowOwner& showOwner,
                             ColorRef backColor)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_app(app),
      m_view(new CMyImageView(doc, paths, dialogs, state, app, sound, this)),
      m_show(info, state, doc, sound.Audio(), dialogs, app, *this, showOwner) {
    setFocusPolicy(Qt::StrongFocus);
    // The keys are the window's: the view must not scroll with them.
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->viewport()->setFocusPolicy(Qt::NoFocus);
    m_view->SetBackColor(backColor);
    m_view->SetScrollBars(false, false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Clicks anywhere on the page step the show: left forwards, right back.
    m_view->SetSlideShowClickHandler([this](int step) { m_show.OnClick(step); });
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    m_view->setGeometry(rect());
    m_beat.setInterval(kBeatMs);
    connect(&m_beat, &QTimer::timeout, this, [this] { m_show.OnTimer(); });
}

CSlideShowWnd::~CSlideShowWnd() {
    m_beat.stop();
}

void CSlideShowWnd::LoadPicture(const std::string& storedPath) {
    m_view->LoadPicture(storedPath);
}

void CSlideShowWnd::LoadPage(int page) {
    m_view->LoadPage(page);
}

void CSlideShowWnd::SetPointer(const QCursor* cursor) {
    // A blank pointer on the show's own widgets only: message boxes raised
    // during the show keep theirs.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_view),
                       m_view->viewport(), static_cast<QWidget*>(m_view->GetPaintWnd())}) {
        if (cursor)
            w->setCursor(*cursor);
        else
            w->unsetCursor();
    }
}

void CSlideShowWnd::HidePointer() {
    const QCursor blank(Qt::BlankCursor);
    SetPointer(&blank);
}

void CSlideShowWnd::ShowPointer() {
    SetPointer(nullptr);
    m_view->GetPaintWnd()->RefreshCursor();
}

void CSlideShowWnd::ShowWindow() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    m_view->setGeometry(rect());
    show();
    raise();
    activateWindow();
    setFocus();
}

MediaNoticeSink CSlideShowWnd::NoticeSink() {
    return PostMediaNoticesTo(this);
}

bool CSlideShowWnd::ModalDialogUp() const {
    return QApplication::activeModalWidget() != nullptr;
}

void CSlideShowWnd::CloseLater() {
    m_closing = true;
    m_beat.stop();
    hide();
    // Destroyed once the call that ended the show has returned.
    deleteLater();
}

void CSlideShowWnd::keyPressEvent(QKeyEvent* event) {
    std::optional<KeyPress> press = KeyPressOf(*event);
    std::optional<CommandId> command =
        press ? LookUpKey(kKeyTable5, press->key, press->modifiers, press->typed) : std::nullopt;
    if (!command) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (*command == ID_HELP)
        m_app.RouteCommand(ID_HELP);
    else
        m_show.OnCommand(*command);
}

void CSlideShowWnd::closeEvent(QCloseEvent* event) {
    // Closed by the window manager (Alt+F4): the show ends as by Esc.
    if (!m_closing && !m_show.HasEnded()) {
        event->ignore();
        m_show.OnWindowClosed();
        return;
    }
    QWidget::closeEvent(event);
}

void CSlideShowWnd::customEvent(QEvent* event) {
    if (event->type() == MediaNoticeEvent::EventType()) {
        m_show.OnMciNotify(static_cast<MediaNoticeEvent*>(event)->Device());
        return;
    }
    QWidget::customEvent(event);
}
