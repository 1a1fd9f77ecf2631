#include "app/volume_app.h"

#include "app/splash_wnd.h"
#include "colouring/my_image_view.h"
#include "framework/qt_dialogs.h"
#include "mainframe/main_frame.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "platform/app_settings.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/sdl_audio.h"
#include "platform/text_util.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

CVolumeApp::CVolumeApp(QSettings& settings, std::string commandLine, IDialogs* dialogs,
                       IAudio* audio)
    : CWinApp(settings), m_commandLine(std::move(commandLine)), m_dialogs(dialogs), m_audio(audio) {
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<QtDialogs>();
        m_dialogs = m_ownDialogs.get();
    }
    OnCommandId(ID_COLOURING_INSTRUCTIONS, [this] { OnColouringInstructions(); });
    OnCommandId(ID_HELP, [this] { OnHelp(); });
}

void CVolumeApp::OnColouringInstructions() {
    const std::string name =
        Settings().value("Tintaroo!/ColoringInstructions").toString().toStdString();
    if (name.empty()) {
        m_dialogs->MessageBox(std::string(LoadString(IDS_NO_INSTRUCTIONS)),
                              MessageIcon::Exclamation);
        return;
    }
    // Remembered only once the instructions have opened: a book that failed
    // to open must not send a later show back to a stale page.
    const std::string returnVolume = m_doc->GetPathName();
    const int returnPage = m_state.m_nCurPage;
    if (!OpenDocumentFile(name))
        return;
    m_state.g_strReturnVolume = returnVolume;
    m_state.g_nReturnPage = returnPage;
    m_doc->OnSlideShow();
}

void CVolumeApp::OnHelp() {
    if (m_state.g_bSlideShowRunning)
        m_dialogs->SlideShowHelp();
}

CVolumeApp::~CVolumeApp() {
    m_splash.reset();
    m_frame.reset(); // the view goes with it, before the document it reads
}

std::string CVolumeApp::VolumeNameFromCommandLine(const std::string& commandLine) {
    // The quotation marks go before the "." test: appending ".VOL" after a
    // closing mark would be cut off again by the open, so a quoted name
    // without an extension could never open.
    std::string name = StripQuotationMarks(commandLine);
    if (name.empty())
        return name;
    if (name.find('.') == std::string::npos)
        name += ".VOL";
    return name;
}

std::string CVolumeApp::MakeFullPath(const std::string& name) const {
    std::optional<std::filesystem::path> p = m_paths->Resolve(name);
    return p ? std::filesystem::absolute(*p).lexically_normal().string() : name;
}

void CVolumeApp::ReadSettings() {
    QSettings& s = Settings();
    m_state.g_soundsPath = s.value("Tintaroo!/SoundsPath").toString().toStdString();
    // Qt reads the file (and the system file behind it); the keys are taken
    // as the book tool takes them from the same file.
    AppSettings groups;
    s.beginGroup("Drives");
    for (const QString& key : s.childKeys())
        groups.AddDrive(key.toStdString(), s.value(key).toString().toStdString());
    s.endGroup();
    s.beginGroup("mci extensions");
    for (const QString& key : s.childKeys())
        groups.AddMciExtension(key.toStdString(), s.value(key).toString().toStdString());
    s.endGroup();
    groups.ApplyTo(*m_paths, *m_mci);
}

bool CVolumeApp::InitInstance() {
    // Grey dialogs with black text; disabled text in the darker grey that
    // still shows on them.
    qApp->setStyleSheet("QDialog { background-color: rgb(192, 192, 192); color: black; }"
                        "QDialog *:disabled { color: rgb(128, 128, 128); }");
    m_splash = std::make_unique<CSplashWnd>();
    if (m_splash->Create()) {
        m_splash->show();
        m_splash->repaint();
    } else {
        // Without the picture the command line is acted on at the first idle moment.
        m_splash.reset();
    }
    m_splashStart = GetTickCount();

    m_paths = std::make_unique<HostPaths>();
    m_mci = std::make_unique<MciExtensions>();
    if (!m_audio) {
        m_ownAudio = std::make_unique<SdlAudio>();
        m_audio = m_ownAudio.get();
    }
    m_sound = std::make_unique<SoundService>(*this, *m_audio, *m_paths, m_state);
    ReadSettings();

    m_doc = std::make_unique<CVolDoc>(*m_paths, *m_mci, *m_audio, *m_dialogs, m_state);
    m_doc->SetWaitCursor(this);
    m_view = new CMyImageView(*m_doc, *m_paths, *m_dialogs, m_state, *this, *m_sound);
    m_frame = std::make_unique<CMainFrame>(*this, m_state, *m_doc, *m_view, *m_dialogs, *m_sound);
    m_doc->SetFrame(m_frame.get());
    m_pDocument = m_doc.get();
    m_pView = m_view;
    m_pMainWnd = m_frame.get();
    UpdateRoutingChain();
    if (m_ownDialogs) {
        m_ownDialogs->SetOwner(m_frame.get());
        m_frame->SetDialogOwnerHook([this](QWidget* owner) { m_ownDialogs->SetOwner(owner); });
        m_ownDialogs->SetPageCountSource([this] { return m_doc->GetPageCount(); });
        m_ownDialogs->SetHelpHandler([this] { RouteCommand(ID_HELP); });
    }
    m_frame->OnCreate(GetTickCount());
    m_view->OnInitialUpdate();

    // Borderless and maximised. A display without a window manager ignores
    // the maximise request, so the window also gets the screen's free area.
    m_frame->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_frame->setGeometry(screen->availableGeometry());
    m_frame->showMaximized();
    m_frame->repaint();
    if (m_splash)
        m_splash->raise();
    WarnAboutMissingDevices();
    return true;
}

void CVolumeApp::WarnAboutMissingDevices() {
    // The start-up picture stays on screen, but below the message boxes.
    auto warn = [this](std::string_view files, std::string_view device) {
        if (m_splash)
            m_splash->DropTopMost();
        m_dialogs->MessageBox(FormatMessageId(IDS_NO_DEVICE_DRIVER, {files, device}),
                              MessageIcon::Exclamation);
    };
    if (m_audio->WaveOutCount() == 0)
        warn("wave", "waveform");
    if (m_audio->MidiOutCount() == 0)
        warn("midi", "midi sequencer");
}

bool CVolumeApp::OnIdle(long count) {
    bool result = CWinApp::OnIdle(count);
    if (!m_commandLinePending)
        return result;
    if (m_splash && GetTickCount() - m_splashStart <= kSplashMs)
        return true;
    m_splash.reset();
    m_frame->repaint();
    m_commandLinePending = false;
    ActOnCommandLine();
    return result;
}

int CVolumeApp::IdleWakeDelayMs() const {
    if (!m_commandLinePending || !m_splash)
        return -1;
    std::uint32_t elapsed = GetTickCount() - m_splashStart;
    return elapsed > kSplashMs ? 0 : static_cast<int>(kSplashMs - elapsed) + 1;
}

void CVolumeApp::ActOnCommandLine() {
    std::string name = VolumeNameFromCommandLine(m_commandLine);
    if (name.empty())
        return;
    if (OpenDocumentFile(name))
        m_doc->OnSlideShow();
}
