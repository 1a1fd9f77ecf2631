// What the slide-show dialog does with its controls when the user presses
// Show: reads them in order, checks the seconds and the page range, and says
// whether the dialog closes with the values or stays open, and how it tells
// the user why. Toolkit-free, so the rules are tested without a dialog.
#pragma once

#include "model/slideshow/slide_show_info.h"

#include <optional>
#include <string>
#include <string_view>

// The controls' contents as the user left them.
struct SlideShowDlgFields {
    int pagesChoice = 1;   // 0 All, 1 From
    int advanceChoice = 0; // 0 Every, 1 When Sound Is Done
    bool playSounds = false;
    bool runContinuously = false;
    std::string from;  // box 303
    std::string to;    // box 304
    std::string every; // box 306
};

// The control a refused Show puts the keyboard focus on.
enum class SlideShowDlgFocus {
    None,       // Show accepted
    FromOption, // the "From:" option (302)
    FromBox,    // box 303
    ToBox,      // box 304
    EveryBox,   // box 306
};

struct SlideShowDlgOutcome {
    // The dialog's values when Show closes it; none when it stays open.
    std::optional<SlideShowDlgData> values;
    // Where the focus goes when it stays open.
    SlideShowDlgFocus focus = SlideShowDlgFocus::None;
    // The message box text when it stays open over a box's contents;
    // empty when the refusal is told only by the system beep.
    std::string message;
    // True when the refusal is the system beep alone (a page out of range).
    bool beep = false;
};

// The seconds every page may stay.
inline constexpr int kMinSeconds = 1;
inline constexpr int kMaxSeconds = 60;

// A box's text as a whole number: spaces and tabs may stand around an
// optionally signed run of decimal digits, nothing else. None for anything
// else, an empty box included, and for a number outside the int range.
std::optional<int> ParseDialogInteger(std::string_view text);

// Show pressed on `fields` with `nPageCount` pages in the open volume. The
// boxes are read From, To, Every; the first that does not hold a whole number
// refuses with "Please enter an integer.", and Every outside 1 to 60 with
// "Please enter an integer between 1 and 60.", focus on that box. Then, with
// all boxes read, From outside 1..nPageCount beeps with the focus on the From
// option, and To below From or above nPageCount beeps with the focus on the
// To box. The page range is checked whichever pages option is chosen.
SlideShowDlgOutcome CheckSlideShowDlg(const SlideShowDlgFields& fields, int nPageCount);
