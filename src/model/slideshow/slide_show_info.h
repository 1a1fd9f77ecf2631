// The settings of one slide show, and the values its dialog edits.
#pragma once

#include "model/framework/object.h"

class IAudioDevices;

// Which pages, how long each stays, whether the show waits for each page's
// sound, whether sounds play and whether the show loops. Copied by value.
class CSlideShowInfo : public CObject {
public:
    int m_nStartPage = 0;        // first page, counted from 1; 0 means page 1
    int m_nEndPage = 0;          // last page; 0 means the last page of the volume
    int m_nSeconds = 0;          // seconds a page stays; 0 means unset
    bool m_bGoBySeconds = false; // advance by time; else when the page's sound ends
    bool m_bSound = false;       // play page sounds
    bool m_bLoop = false;        // start again after the last page

    // Fills what is still unset: a start page of 0 becomes 1, an end page of 0
    // becomes `nPageCount`; a seconds value of 0 becomes 8, and then sounds
    // play exactly when the machine has wave or MIDI output, and the show
    // advances by time exactly when they do not.
    void ApplyDefaults(int nPageCount, const IAudioDevices& devices);

    friend bool operator==(const CSlideShowInfo& a, const CSlideShowInfo& b) {
        return a.m_nStartPage == b.m_nStartPage && a.m_nEndPage == b.m_nEndPage &&
               a.m_nSeconds == b.m_nSeconds && a.m_bGoBySeconds == b.m_bGoBySeconds &&
               a.m_bSound == b.m_bSound && a.m_bLoop == b.m_bLoop;
    }
};

// The slide-show dialog's values (its controls' bound members).
struct SlideShowDlgData {
    bool m_bPlaySounds = false;
    bool m_bRunContinuously = false;
    int m_nFrom = 0;
    int m_nTo = 0;
    int m_nEvery = 0;         // 1..60
    int m_nPagesChoice = 1;   // 0 All, 1 From
    int m_nAdvanceChoice = 0; // 0 Every, 1 When Sound Is Done

    // The values the dialog opens with for a record: From always chosen.
    static SlideShowDlgData FromRecord(const CSlideShowInfo& info);

    // The record the dialog's outcome makes: all pages give 1 to nPageCount,
    // a range gives From to To; seconds from Every; advance by time exactly
    // when Every was chosen; sounds and loop as ticked.
    CSlideShowInfo ToRecord(int nPageCount) const;
};
