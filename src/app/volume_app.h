// The application object: start-up (settings, start-up picture, the empty
// volume with its window and view, the borderless maximised window), the
// command line once the start-up picture goes, and opening volumes by name.
#pragma once

#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/mainframe/running_state.h"

#include <memory>
#include <string>

class CMainFrame;
class CMyImageView;
class CSplashWnd;
class CVolDoc;
class HostPaths;
class IAudio;
class IDialogs;
class MciExtensions;
class QtDialogs;

class CVolumeApp : public CWinApp {
    Q_OBJECT
public:
    // `commandLine`: the program's arguments after the toolkit's own, joined
    // with single spaces. `dialogs`: null for the real dialogs (tests put a
    // script here). `audio`: null for the SDL output, opened at start-up.
    // The borrowed objects must outlive the application.
    CVolumeApp(QSettings& settings, std::string commandLine, IDialogs* dialogs = nullptr,
               IAudio* audio = nullptr);
    ~CVolumeApp() override;

    bool InitInstance() override;
    bool OnIdle(long count) override;
    int IdleWakeDelayMs() const override;

    // Command 4071: plays the book the ColoringInstructions setting names as
    // a slide show from its page 1; when the show ends, the book that was
    // open comes back on the page it showed. Only once the instructions have
    // opened is that book remembered; without the setting a message says the
    // instructions are not installed and nothing changes.
    void OnColouringInstructions();
    // Command 57670 (F1 in a show): the show's help, only while a show runs.
    void OnHelp();

    // The volume name a command line stands for: quotation marks handled as
    // the open does, then ".VOL" appended when the name holds no ".".
    // Empty for an empty command line.
    static std::string VolumeNameFromCommandLine(const std::string& commandLine);

    RunningState& State() { return m_state; }
    CVolDoc& Doc() { return *m_doc; }
    CMainFrame& Frame() { return *m_frame; }
    CMyImageView& View() { return *m_view; }
    HostPaths& Paths() { return *m_paths; }
    SoundService& Sound() { return *m_sound; }
    IDialogs& Dialogs() { return *m_dialogs; }
    bool IsSplashUp() const { return m_splash != nullptr; }
    // The start-up picture window while it is up, else null.
    const CSplashWnd* Splash() const { return m_splash.get(); }
    std::uint32_t SplashStart() const { return m_splashStart; }

    static constexpr std::uint32_t kSplashMs = 2500;

protected:
    std::string MakeFullPath(const std::string& name) const override;

private:
    void ReadSettings();
    void WarnAboutMissingDevices();
    void ActOnCommandLine();

    std::string m_commandLine;
    RunningState m_state; // outlives every window that reads it
    std::unique_ptr<QtDialogs> m_ownDialogs;
    IDialogs* m_dialogs;
    std::unique_ptr<HostPaths> m_paths;
    std::unique_ptr<MciExtensions> m_mci;
    std::unique_ptr<IAudio> m_ownAudio;
    IAudio* m_audio;
    std::unique_ptr<SoundService> m_sound;
    std::unique_ptr<CVolDoc> m_doc;
    CMyImageView* m_view = nullptr; // owned by the frame
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CSplashWnd> m_splash;
    std::uint32_t m_splashStart = 0;
    bool m_commandLinePending = true;
};
