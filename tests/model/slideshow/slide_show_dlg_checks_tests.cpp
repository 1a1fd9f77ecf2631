#include "model/slideshow/slide_show_dlg_checks.h"

#include <gtest/gtest.h>

namespace {

using Focus = SlideShowDlgFocus;

const char kInteger[] = "Please enter an integer.";
const char kRange[] = "Please enter an integer between 1 and 60.";

TEST(SlideShowDlgChecksTest, ShowRefusesInOrderOrCloses) {
    struct Case {
        const char* from;
        const char* to;
        const char* every;
        int pagesChoice;
        int pages;
        Focus focus; // None: accepted
        const char* message;
        bool beep;
    } cases[] = {
        {"2", "3", "1", 1, 5, Focus::None, "", false},
        {"1", "5", "60", 1, 5, Focus::None, "", false},
        {" 4\t", "+5", " 07 ", 1, 5, Focus::None, "", false},
        {"2", "3", "61", 1, 5, Focus::EveryBox, kRange, false},
        {"2", "3", "0", 1, 5, Focus::EveryBox, kRange, false},
        {"2", "3", "-3", 1, 5, Focus::EveryBox, kRange, false},
        {"2", "3", "seven", 1, 5, Focus::EveryBox, kInteger, false},
        {"2", "3", "", 1, 5, Focus::EveryBox, kInteger, false},
        {"2", "3", "7.5", 1, 5, Focus::EveryBox, kInteger, false},
        // The boxes are read From, To, Every; the first bad one is reported.
        {"", "x", "61", 1, 5, Focus::FromBox, kInteger, false},
        {"2a", "3", "7", 1, 5, Focus::FromBox, kInteger, false},
        {"2", "x", "61", 1, 5, Focus::ToBox, kInteger, false},
        {"99999999999", "3", "7", 1, 5, Focus::FromBox, kInteger, false},
        // The seconds are checked before the pages.
        {"0", "3", "61", 1, 5, Focus::EveryBox, kRange, false},
        // Pages out of range: the beep alone.
        {"0", "3", "7", 1, 5, Focus::FromOption, "", true},
        {"-1", "3", "7", 1, 5, Focus::FromOption, "", true},
        {"6", "6", "7", 1, 5, Focus::FromOption, "", true},
        {"3", "2", "7", 1, 5, Focus::ToBox, "", true},
        {"3", "6", "7", 1, 5, Focus::ToBox, "", true},
        {"1", "1", "7", 1, 0, Focus::FromOption, "", true},
        // With All chosen the boxes still have to hold a valid range.
        {"0", "3", "7", 0, 5, Focus::FromOption, "", true},
        {"1", "5", "7", 0, 5, Focus::None, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " / " + c.to + " / " + c.every + " of " +
                     std::to_string(c.pages));
        SlideShowDlgFields f;
        f.pagesChoice = c.pagesChoice;
        f.from = c.from;
        f.to = c.to;
        f.every = c.every;
        SlideShowDlgOutcome out = CheckSlideShowDlg(f, c.pages);
        EXPECT_EQ(out.focus, c.focus);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.beep, c.beep);
        EXPECT_EQ(out.values.has_value(), c.focus == Focus::None);
    }
}

TEST(SlideShowDlgChecksTest, AcceptedShowCarriesEveryControl) {
    SlideShowDlgFields f{0, 1, true, true, " 4 ", "5", "12"};
    SlideShowDlgOutcome out = CheckSlideShowDlg(f, 9);
    ASSERT_TRUE(out.values);
    EXPECT_EQ(out.values->m_nPagesChoice, 0);
    EXPECT_EQ(out.values->m_nAdvanceChoice, 1);
    EXPECT_TRUE(out.values->m_bPlaySounds);
    EXPECT_TRUE(out.values->m_bRunContinuously);
    EXPECT_EQ(out.values->m_nFrom, 4);
    EXPECT_EQ(out.values->m_nTo, 5);
    EXPECT_EQ(out.values->m_nEvery, 12);
    // The record it makes: All chosen gives every page of the volume.
    CSlideShowInfo r = out.values->ToRecord(9);
    EXPECT_EQ(r.m_nStartPage, 1);
    EXPECT_EQ(r.m_nEndPage, 9);
    EXPECT_EQ(r.m_nSeconds, 12);
    EXPECT_FALSE(r.m_bGoBySeconds);
}

} // namespace
