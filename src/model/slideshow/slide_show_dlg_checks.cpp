#include "model/slideshow/slide_show_dlg_checks.h"

#include "model/resources/string_table.h"

#include <charconv>
#include <string>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

SlideShowDlgOutcome Refuse(SlideShowDlgFocus focus, std::string message) {
    SlideShowDlgOutcome out;
    out.focus = focus;
    out.message = std::move(message);
    return out;
}

SlideShowDlgOutcome Beep(SlideShowDlgFocus focus) {
    SlideShowDlgOutcome out;
    out.focus = focus;
    out.beep = true;
    return out;
}

} // namespace

std::optional<int> ParseDialogInteger(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but not a plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 10);
    // A number too large for an int is refused rather than wrapped, which
    // could turn it into a page number that passes the range checks.
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

SlideShowDlgOutcome CheckSlideShowDlg(const SlideShowDlgFields& fields, int nPageCount) {
    SlideShowDlgData d;
    d.m_nPagesChoice = fields.pagesChoice;
    d.m_nAdvanceChoice = fields.advanceChoice;
    d.m_bPlaySounds = fields.playSounds;
    d.m_bRunContinuously = fields.runContinuously;

    const std::string notInteger(LoadString(IDS_ENTER_INTEGER));
    std::optional<int> from = ParseDialogInteger(fields.from);
    if (!from)
        return Refuse(SlideShowDlgFocus::FromBox, notInteger);
    std::optional<int> to = ParseDialogInteger(fields.to);
    if (!to)
        return Refuse(SlideShowDlgFocus::ToBox, notInteger);
    std::optional<int> every = ParseDialogInteger(fields.every);
    if (!every)
        return Refuse(SlideShowDlgFocus::EveryBox, notInteger);
    if (*every < kMinSeconds || *every > kMaxSeconds)
        return Refuse(SlideShowDlgFocus::EveryBox,
                      FormatMessageId(IDS_ENTER_INTEGER_RANGE,
                                      {std::to_string(kMinSeconds), std::to_string(kMaxSeconds)}));

    // The pages are checked whichever option is chosen: with All, From and To
    // still hold the record's range unless the user edited them.
    if (*from < 1 || *from > nPageCount)
        return Beep(SlideShowDlgFocus::FromOption);
    if (*to < *from || *to > nPageCount)
        return Beep(SlideShowDlgFocus::ToBox);

    d.m_nFrom = *from;
    d.m_nTo = *to;
    d.m_nEvery = *every;
    SlideShowDlgOutcome out;
    out.values = d;
    return out;
}
