#include "model/mainframe/page_sound_device.h"

#include "model/dialogs.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"

#include <utility>

bool PageSoundDevice::Open(const std::filesystem::path& file) {
    if (IsOpen())
        return false;
    m_id = m_audio.OpenMedia(file);
    return IsOpen();
}

bool PageSoundDevice::Play(MediaNoticeSink sink) {
    return IsOpen() && m_audio.PlayMedia(m_id, std::move(sink));
}

void PageSoundDevice::Stop() {
    if (IsOpen())
        m_audio.StopMedia(m_id);
}

void PageSoundDevice::Pause() {
    if (IsOpen())
        m_audio.PauseMedia(m_id);
}

void PageSoundDevice::Resume() {
    if (IsOpen())
        m_audio.ResumeMedia(m_id);
}

void PageSoundDevice::Close() {
    if (IsOpen())
        m_audio.CloseMedia(std::exchange(m_id, kNoMediaDevice));
}

void ReportUnsupportedSound(const std::string& name, IDialogs& dialogs) {
    dialogs.MessageBox(FormatMessageId(IDS_UNSUPPORTED_TYPE, {name, "sound"}),
                       MessageIcon::Exclamation);
}

bool CheckPageSoundFile(const CVolDoc& doc, const std::string& name, IDialogs& dialogs) {
    switch (doc.CanPlaySound(name)) {
    case SoundPlayability::NoFile:
        dialogs.MessageBox(FormatMessageId(IDS_CANNOT_FIND_FILE, {name}), MessageIcon::Exclamation);
        return false;
    case SoundPlayability::Unsupported:
        ReportUnsupportedSound(name, dialogs);
        return false;
    case SoundPlayability::Playable:
        break;
    }
    return true;
}
