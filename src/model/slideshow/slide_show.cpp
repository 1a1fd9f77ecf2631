#include "model/slideshow/slide_show.h"

#include "model/dialogs.h"
#include "model/mainframe/running_state.h"
#include "model/message_pump.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/text_util.h"

#include <algorithm>
#include <utility>

namespace {

// A volume's record may name pages the volume does not have, or no seconds.
// An end before the start is raised to it, so the start page is shown and
// the next advance ends the show (or loops) instead of the first page
// change ending a show that has shown nothing.
CSlideShowInfo FitToVolume(CSlideShowInfo info, int pageCount) {
    const int last = std::max(pageCount, 1);
    info.m_nStartPage = std::clamp(info.m_nStartPage, 1, last);
    info.m_nEndPage = std::clamp(info.m_nEndPage, info.m_nStartPage, last);
    info.m_nSeconds = std::max(info.m_nSeconds, 1);
    return info;
}

// Counts the page changes under way, so that ticks and end notices arriving
// in their pumps wait.
class DepthScope {
public:
    explicit DepthScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& m_depth;
};

} // namespace

SlideShow::SlideShow(const CSlideShowInfo& info, RunningState& state, const CVolDoc& doc,
                     IAudio& audio, IDialogs& dialogs, IMessagePump& pump, ISlideShowWindow& window,
                     ISlideShowOwner& owner)
    : m_info(FitToVolume(info, doc.GetPageCount())), m_wDevice(audio), m_state(state), m_doc(doc),
      m_audio(audio), m_dialogs(dialogs), m_pump(pump), m_window(window), m_owner(owner) {}

SlideShow::~SlideShow() {
    // The device closes with its member; the window and the owner may be
    // going too, so they are not called.
    if (!m_bEnded)
        m_state.g_bSlideShowRunning = false;
}

void SlideShow::StartShow() {
    if (m_bEnded || m_nCurrent != 0)
        return;
    m_state.g_bSlideShowRunning = true;
    // The start page lies in the range, so only a nested Esc or close can end it here.
    if (!ShowSlide(m_info.m_nStartPage, false))
        return;
    m_window.StartBeat();
    m_window.HidePointer();
    m_bPointerHidden = true;
    m_window.ShowWindow();
}

bool SlideShow::ShowSlide(int page, bool manual) {
    if (m_bEnded)
        return false;
    if (page > m_info.m_nEndPage && !m_info.m_bLoop) {
        EndShow();
        return false;
    }
    DepthScope showing(m_nShowing);
    const unsigned serial = ++m_nSerial;
    if (page < m_info.m_nStartPage || page > m_info.m_nEndPage) {
        m_info.m_nStartPage = 1;
        m_nCurrent = 1;
    } else {
        m_nCurrent = page;
    }
    ShowPicture(m_nCurrent);
    // The view may have shown a message; a key or close handled under it
    // has moved the show on.
    if (Superseded(serial) || !PlayPageSound(serial, manual))
        return !m_bEnded;
    m_nElapsed = 0;
    m_bResumed = false;
    m_bStopped = false;
    m_bAdvanceDue = false;
    return true;
}

void SlideShow::ShowPicture(int page) {
    if (!m_doc.CanColour()) {
        m_window.LoadPage(page);
        return;
    }
    // Without a picture file every name below would be a folder.
    if (!HasPicturePage(m_doc, page)) {
        m_window.LoadPicture({});
        return;
    }
    std::string path = m_doc.GetCopyPath(page);
    if (!m_doc.Paths().FileExists(path)) {
        const std::string& folder =
            m_doc.GetColPath().empty() ? m_doc.GetOrgPath() : m_doc.GetColPath();
        path = JoinStoredPath(folder, FilePart(m_doc.GetPageFile(page, PageFileKind::Picture)));
    }
    m_window.LoadPicture(path);
}

// Starts the current page's sound, or times the page. False when a nested
// page change or the end of the show has overtaken this page change.
bool SlideShow::PlayPageSound(unsigned serial, bool manual) {
    const std::string entry = m_doc.GetPageFile(m_nCurrent, PageFileKind::Sound);
    if (m_audio.WaveOutCount() <= 0 || !m_info.m_bSound || entry.empty()) {
        // A sound of an earlier page plays on; its end does not move this page.
        m_bTimerAdvance = true;
        return true;
    }
    StopSlideSound(manual);
    if (Superseded(serial))
        return false;
    const bool play = PlaySlideSound(entry) == 1;
    if (Superseded(serial))
        return false;
    m_bTimerAdvance = m_info.m_bGoBySeconds || !play;
    return true;
}

int SlideShow::PlaySlideSound(std::optional<std::string> name) {
    if (m_bDeviceOpen) {
        // Cleared before the pump: the end notice of a sound the show stops
        // itself must not move the show on.
        m_bDeviceOpen = false;
        m_wDevice.Stop();
        m_pump.PumpPendingMessages();
        return 1;
    }
    if (m_audio.WaveOutCount() <= 0)
        return -2;
    const std::string file =
        ToUpperAscii(name ? *name : m_doc.GetPageFile(m_nCurrent, PageFileKind::Sound));
    const SoundPlayability playable = m_doc.CanPlaySound(file);
    if (playable != SoundPlayability::Playable) {
        CheckPageSoundFile(m_doc, file, m_dialogs);
        return static_cast<int>(playable);
    }
    // A stopped device whose notice has not arrived yet is not reused.
    CloseDevice();
    const std::optional<std::filesystem::path> host = m_doc.Paths().Resolve(file);
    if (!host || !m_wDevice.Open(*host)) {
        ReportUnsupportedSound(file, m_dialogs);
        return 0;
    }
    m_nSoundPage = m_nCurrent;
    m_bDeviceOpen = true;
    if (!m_wDevice.Play(m_window.NoticeSink())) {
        // Its failure notice arrives for a closed device and is ignored.
        CloseDevice();
        return 0;
    }
    return 1;
}

void SlideShow::StopSlideSound(bool close) {
    const MediaDeviceId device = m_wDevice.Id();
    if (m_bDeviceOpen)
        PlaySlideSound();
    // A page change run by the stop's pump may have opened a device for its
    // own page; that one stays.
    if (close && m_wDevice.Id() == device)
        CloseDevice();
}

void SlideShow::CloseDevice() {
    m_bDeviceOpen = false;
    m_wDevice.Close();
}

void SlideShow::OnTimer() {
    if (m_bEnded || m_bStopped || Busy())
        return;
    if (m_bAdvanceDue) {
        m_bAdvanceDue = false;
        ShowSlide(m_nCurrent + 1, false);
        return;
    }
    if (!m_bTimerAdvance)
        return;
    if (++m_nElapsed >= Target())
        ShowSlide(m_nCurrent + 1, false);
}

void SlideShow::OnMciNotify(MediaDeviceId device) {
    // A late notice of a device already replaced must not close the new one.
    if (m_bEnded || device == kNoMediaDevice || device != m_wDevice.Id())
        return;
    const bool advance = m_bDeviceOpen && m_nSoundPage == m_nCurrent && !m_info.m_bGoBySeconds;
    CloseDevice();
    if (!advance)
        return;
    // Not inside a page change or under a dialog: the next free beat moves on.
    if (m_bStopped || Busy()) {
        m_bAdvanceDue = true;
        return;
    }
    ShowSlide(m_nCurrent + 1, false);
}

void SlideShow::ToggleStop() {
    if (m_bEnded)
        return;
    const bool wasStopped = m_bStopped;
    if (!wasStopped) {
        if (m_bDeviceOpen)
            m_wDevice.Pause();
        m_nRemaining = Target() - m_nElapsed;
        m_bTimedWhenStopped = m_bTimerAdvance;
        m_bTimerAdvance = false;
    } else {
        if (m_bDeviceOpen)
            m_wDevice.Resume();
        m_nElapsed = 0;
        // Also a page timed only because its sound did not play: it would
        // otherwise wait for a key for ever.
        m_bTimerAdvance = m_bTimedWhenStopped;
    }
    m_bResumed = wasStopped;
    m_bStopped = !wasStopped;
}

bool SlideShow::OnCommand(CommandId id) {
    switch (id) {
    case ID_SHOW_FIRST:
        ShowSlide(m_info.m_nStartPage, true);
        return true;
    case ID_SHOW_PREV:
        ShowSlide(m_nCurrent - 1, true);
        return true;
    case ID_SHOW_NEXT:
        ShowSlide(m_nCurrent + 1, true);
        return true;
    case ID_SHOW_LAST:
        ShowSlide(m_info.m_nEndPage, true);
        return true;
    case ID_SHOW_PAUSE:
        ToggleStop();
        return true;
    case ID_SHOW_END:
        EndShow();
        return true;
    default:
        return false;
    }
}

bool SlideShow::OnClick(int step) {
    return ShowSlide(m_nCurrent + step, true);
}

void SlideShow::OnWindowClosed() {
    EndShow();
}

void SlideShow::EndShow() {
    if (m_bEnded)
        return;
    // First: every call that runs nested in the pumps below does nothing.
    m_bEnded = true;
    if (std::exchange(m_bPointerHidden, false))
        m_window.ShowPointer();
    m_window.StopBeat();
    m_state.g_bSlideShowRunning = false;
    StopSlideSound(true);
    ReturnToBook();
    m_window.CloseLater();
}

void SlideShow::ReturnToBook() {
    // Taken before the open, which may run nested handlers. The return is
    // used once: a volume that does not open is not tried again by a later
    // show, and the main window shows the page the show ended on.
    const std::string volume = std::exchange(m_state.g_strReturnVolume, {});
    const int page = m_state.g_nReturnPage;
    if (!volume.empty() && m_owner.OpenVolume(volume)) {
        GoToPageQuietly(page);
        return;
    }
    if (m_nCurrent > 0)
        GoToPageQuietly(m_nCurrent);
}

void SlideShow::GoToPageQuietly(int page) {
    const bool autoplay = std::exchange(m_state.g_bPageSoundAutoPlay, false);
    m_owner.GoToPage(page);
    m_state.g_bPageSoundAutoPlay = autoplay;
}
