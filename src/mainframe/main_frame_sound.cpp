// The main window's side of the page sound (its controller is PageSound):
// the sound commands, the button face, the end notices arriving as queued
// events, and the tool-tip prompts.
#include "mainframe/main_frame.h"

#include "framework/media_notice.h"
#include "mainframe/sound_service.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"

namespace {

// Tool tips hold at most this many characters.
constexpr std::size_t kTipChars = 79;

} // namespace

void CMainFrame::RegisterSoundCommands() {
    OnCommandId(ID_PLAY_SOUND, [this] { PlayOrStopPageSound(); });
    OnUpdateId(ID_PLAY_SOUND, [this](CCmdUI& ui) {
        ui.Enable(m_state.m_bSoundPlaying ||
                  !m_doc.GetPageFile(m_state.m_nCurPage, PageFileKind::Sound).empty());
    });
    OnCommandId(ID_PLAY_OR_STOP_KEY, [this] { PlayOrStopPageSound(); });
}

void CMainFrame::SetPlayButton(bool play) {
    emit PlayButtonChanged(play);
}

MediaNoticeSink CMainFrame::NoticeSink() {
    return PostMediaNoticesTo(this);
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
