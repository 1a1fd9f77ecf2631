#include "model/slideshow/slide_show_info.h"

#include "platform/audio_devices.h"

void CSlideShowInfo::ApplyDefaults(int nPageCount, const IAudioDevices& devices) {
    if (m_nStartPage == 0)
        m_nStartPage = 1;
    if (m_nEndPage == 0)
        m_nEndPage = nPageCount;
    if (m_nSeconds != 0)
        return;
    m_nSeconds = 8;
    m_bSound = devices.WaveOutCount() > 0 || devices.MidiOutCount() > 0;
    m_bGoBySeconds = !m_bSound;
}

SlideShowDlgData SlideShowDlgData::FromRecord(const CSlideShowInfo& info) {
    SlideShowDlgData d;
    d.m_bPlaySounds = info.m_bSound;
    d.m_bRunContinuously = info.m_bLoop;
    d.m_nFrom = info.m_nStartPage;
    d.m_nTo = info.m_nEndPage;
    d.m_nEvery = info.m_nSeconds;
    d.m_nPagesChoice = 1;
    d.m_nAdvanceChoice = info.m_bGoBySeconds ? 0 : 1;
    return d;
}

CSlideShowInfo SlideShowDlgData::ToRecord(int nPageCount) const {
    CSlideShowInfo info;
    if (m_nPagesChoice == 1) {
        info.m_nStartPage = m_nFrom;
        info.m_nEndPage = m_nTo;
    } else {
        info.m_nStartPage = 1;
        info.m_nEndPage = nPageCount;
    }
    info.m_nSeconds = m_nEvery;
    info.m_bGoBySeconds = m_nAdvanceChoice == 0;
    info.m_bSound = m_bPlaySounds;
    info.m_bLoop = m_bRunContinuously;
    return info;
}
