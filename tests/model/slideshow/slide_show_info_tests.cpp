#include "model/slideshow/slide_show_info.h"

#include "platform/audio_devices.h"
#include "support/slide_show_record.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplyDefaultsTest, FillsOnlyWhatIsUnset) {
    FixedAudioDevices none(0, 0), waveOnly(1, 0), midiOnly(0, 1);
    CSlideShowInfo r = Record(0, 0, 7, 0, 1, 0);
    r.ApplyDefaults(12, none);
    EXPECT_EQ(r, Record(1, 12, 7, 0, 1, 0)); // flags from the file stay while seconds is set

    r = Record(3, 5, 0, 0, 1, 1);
    r.ApplyDefaults(12, none);
    EXPECT_EQ(r, Record(3, 5, 8, 1, 0, 1));

    for (const IAudioDevices* d : {static_cast<const IAudioDevices*>(&waveOnly),
                                   static_cast<const IAudioDevices*>(&midiOnly)}) {
        r = Record(0, 0, 0, 1, 0, 0);
        r.ApplyDefaults(4, *d);
        EXPECT_EQ(r, Record(1, 4, 8, 0, 1, 0));
    }
}

TEST(SlideShowDlgDataTest, OpensOnFromAndStoresTheOutcome) {
    SlideShowDlgData d = SlideShowDlgData::FromRecord(Record(2, 9, 15, 1, 0, 1));
    EXPECT_EQ(d.m_nPagesChoice, 1);
    EXPECT_EQ(d.m_nAdvanceChoice, 0);
    EXPECT_EQ(d.m_nFrom, 2);
    EXPECT_EQ(d.m_nTo, 9);
    EXPECT_EQ(d.m_nEvery, 15);
    EXPECT_EQ(d.m_bPlaySounds, 0);
    EXPECT_EQ(d.m_bRunContinuously, 1);
    EXPECT_EQ(SlideShowDlgData::FromRecord(Record(1, 1, 7, 0, 1, 0)).m_nAdvanceChoice, 1);

    EXPECT_EQ(d.ToRecord(20), Record(2, 9, 15, 1, 0, 1));
    d.m_nPagesChoice = 0;
    d.m_nAdvanceChoice = 1;
    d.m_bPlaySounds = 1;
    EXPECT_EQ(d.ToRecord(20), Record(1, 20, 15, 0, 1, 1));
}

} // namespace
