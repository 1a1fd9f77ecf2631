#include "model/mainframe/page_sound.h"

#include "model/dialogs.h"
#include "model/mainframe/running_state.h"
#include "model/message_pump.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/text_util.h"

PageSound::PageSound(RunningState& state, const CVolDoc& doc, IAudio& audio, IDialogs& dialogs,
                     IMessagePump& pump, IPageSoundOwner& owner)
    : m_state(state), m_doc(doc), m_audio(audio), m_wSoundDevice(audio), m_dialogs(dialogs),
      m_pump(pump), m_owner(owner) {}

PageSound::~PageSound() {
    // The window is going: no face to change any more.
    m_wSoundDevice.Close();
    m_state.m_bSoundPlaying = false;
}

void PageSound::PlayOrStopPageSound() {
    if (m_state.m_bSoundPlaying) {
        StopPlayingSound();
        return;
    }
    std::string name = m_doc.GetPageFile(m_state.m_nCurPage, PageFileKind::Sound);
    if (name.empty()) {
        m_dialogs.MessageBox(std::string(LoadString(IDS_NO_SOUND_FILE)), MessageIcon::Exclamation);
        return;
    }
    name = ToUpperAscii(name);
    if (!CheckPageSoundFile(m_doc, name, m_dialogs))
        return;
    if (m_bReopenDevice) {
        const int page = m_state.m_nCurPage;
        CloseSoundDevice();
        m_pump.PumpPendingMessages();
        // A handler run by the pump may have started a sound, or turned the
        // page; this request is then out of date.
        if (m_state.m_bSoundPlaying || m_state.m_nCurPage != page)
            return;
        CloseSoundDevice(); // one that a nested handler opened and left
        if (!OpenSoundDevice(name)) {
            ReportUnsupportedSound(name, m_dialogs);
            return;
        }
        m_bReopenDevice = false;
    }
    m_wSoundDevice.Play(m_owner.NoticeSink());
    m_state.m_bSoundPlaying = true;
    m_nSoundPage = m_state.m_nCurPage;
    m_owner.SetPlayButton(false);
}

void PageSound::StopPlayingSound() {
    m_wSoundDevice.Stop();
    m_state.m_bSoundPlaying = false;
    m_owner.SetPlayButton(true);
    m_pump.PumpPendingMessages();
}

void PageSound::StopPageSound(bool close) {
    if (m_state.m_bSoundPlaying)
        PlayOrStopPageSound();
    if (close) {
        CloseSoundDevice();
        m_bReopenDevice = true;
    }
}

bool PageSound::OpenSoundDevice(const std::string& name) {
    std::optional<std::filesystem::path> file = m_doc.Paths().Resolve(name);
    return file && m_wSoundDevice.Open(*file);
}

void PageSound::CloseSoundDevice() {
    if (!m_wSoundDevice.IsOpen())
        return;
    m_wSoundDevice.Close();
    // Its end notice now belongs to no device of ours; the sound ends here.
    if (m_state.m_bSoundPlaying) {
        m_state.m_bSoundPlaying = false;
        m_owner.SetPlayButton(true);
    }
}

void PageSound::OnMciNotify(MediaDeviceId device) {
    if (device == kNoMediaDevice || device != m_wSoundDevice.Id())
        return;
    m_state.m_bSoundPlaying = false;
    if (m_state.m_nCurPage != m_nSoundPage) {
        CloseSoundDevice();
        m_bReopenDevice = true;
    }
    m_owner.SetPlayButton(true);
}

void PageSound::OnPageChanged(int page, int oldPage) {
    if (m_audio.WaveOutCount() > 0 && m_state.g_bPageSoundAutoPlay &&
        !m_doc.GetPageFile(page, PageFileKind::Sound).empty()) {
        StopPageSound(true);
        // Stopping handles the events waiting meanwhile; a page change among
        // them has already dealt with the sound of its own page.
        if (m_state.m_nCurPage == page)
            PlayOrStopPageSound();
    }
    if (page != oldPage)
        m_bReopenDevice = true;
}
