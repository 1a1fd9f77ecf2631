// The main window's page sound: one media device, kept open after its sound
// ends so the same page can be heard again, and closed and opened afresh
// from the current page's file once it is marked (m_bReopenDevice).
//
// Stopping and reopening dispatch the events waiting meanwhile, so the end
// notice of the stopped sound is handled before the next one is marked as
// playing. A queued click or key can run there too, nested in the operation:
// every operation looks at its state again after pumping, never overwrites
// the id of a device that is still open, and a device whose open failed is
// never played, stopped or closed.
#include "mainframe/main_frame.h"

#include "framework/media_notice.h"
#include "mainframe/sound_service.h"
#include "model/dialogs.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/text_util.h"

namespace {

// Tool tips hold at most this many characters.
constexpr std::size_t kTipChars = 79;

} // namespace

void CMainFrame::RegisterSoundCommands() {
    OnCommandId(ID_PLAY_SOUND, [this] { PlayOrStopPageSound(); });
    OnUpdateId(ID_PLAY_SOUND, [this](CCmdUI& ui) {
        ui.Enable(m_bSoundPlaying == 1 || !m_doc.GetPageFile(m_nCurPage, Sound).empty());
    });
    OnCommandId(ID_PLAY_OR_STOP_KEY, [this] { PlayOrStopPageSound(); });
}

void CMainFrame::SetPlayButton(bool play) {
    emit PlayButtonChanged(play);
}

void CMainFrame::PlayOrStopPageSound() {
    if (m_bSoundPlaying == 1) {
        StopPlayingSound();
        return;
    }
    std::string name = m_doc.GetPageFile(m_nCurPage, Sound);
    if (name.empty()) {
        m_dialogs.MessageBox(std::string(LoadString(IDS_NO_SOUND_FILE)), MessageIcon::Exclamation);
        return;
    }
    name = ToUpperAscii(name);
    int playable = m_doc.CanPlaySound(name);
    if (playable == -1) {
        m_dialogs.MessageBox(FormatMessageId(IDS_CANNOT_FIND_FILE, {name}),
                             MessageIcon::Exclamation);
        return;
    }
    if (playable == 0) {
        m_dialogs.MessageBox(FormatMessageId(IDS_UNSUPPORTED_TYPE, {name, "sound"}),
                             MessageIcon::Exclamation);
        return;
    }
    if (m_bReopenDevice == 1) {
        int page = m_nCurPage;
        CloseSoundDevice();
        m_sound.PumpPendingMessages();
        // A handler run by the pump may have started a sound, or turned the
        // page; this request is then out of date.
        if (m_bSoundPlaying == 1 || m_nCurPage != page)
            return;
        CloseSoundDevice(); // one it opened and left
        if (!OpenSoundDevice(name)) {
            m_dialogs.MessageBox(FormatMessageId(IDS_UNSUPPORTED_TYPE, {name, "sound"}),
                                 MessageIcon::Exclamation);
            return;
        }
        m_bReopenDevice = 0;
    }
    m_sound.Audio().PlayMedia(m_wSoundDevice, PostMediaNoticesTo(this));
    m_bSoundPlaying = 1;
    m_nSoundPage = m_nCurPage;
    SetPlayButton(false);
}

void CMainFrame::StopPlayingSound() {
    m_sound.Audio().StopMedia(m_wSoundDevice);
    m_bSoundPlaying = 0;
    SetPlayButton(true);
    m_sound.PumpPendingMessages();
}

void CMainFrame::StopPageSound(bool close) {
    if (m_bSoundPlaying == 1)
        PlayOrStopPageSound();
    if (close) {
        CloseSoundDevice();
        m_bReopenDevice = 1;
    }
}

bool CMainFrame::OpenSoundDevice(const std::string& name) {
    std::optional<std::filesystem::path> file = m_doc.Paths().Resolve(name);
    MediaDeviceId device = file ? m_sound.Audio().OpenMedia(*file) : kNoMediaDevice;
    if (device == kNoMediaDevice)
        return false;
    m_wSoundDevice = device;
    return true;
}

void CMainFrame::CloseSoundDevice() {
    if (m_wSoundDevice == kNoMediaDevice)
        return;
    m_sound.Audio().CloseMedia(std::exchange(m_wSoundDevice, kNoMediaDevice));
    // Its end notice now belongs to no device of ours; the sound ends here.
    if (m_bSoundPlaying == 1) {
        m_bSoundPlaying = 0;
        SetPlayButton(true);
    }
}

void CMainFrame::OnMciNotify(MediaDeviceId device) {
    if (device == kNoMediaDevice || device != m_wSoundDevice)
        return;
    m_bSoundPlaying = 0;
    if (m_nCurPage != m_nSoundPage) {
        CloseSoundDevice();
        m_bReopenDevice = 1;
    }
    SetPlayButton(true);
}

void CMainFrame::customEvent(QEvent* event) {
    if (event->type() == MediaNoticeEvent::EventType()) {
        OnMciNotify(static_cast<MediaNoticeEvent*>(event)->Device());
        return;
    }
    CFrameWnd::customEvent(event);
}

std::string CMainFrame::OnNeedToolTipText(CommandId id) {
    if (id == 0)
        return {};
    std::string_view prompt = LoadString(id);
    std::string_view tip = PromptTip(prompt);
    if (prompt.size() > tip.size())
        m_sound.SpeakSoundFile(prompt.substr(tip.size() + 1));
    return std::string(tip.substr(0, kTipChars));
}
