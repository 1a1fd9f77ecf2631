// Fuzz target of the slide-show dialog's checks. The first byte picks the
// volume's page count, the second the options and ticks; the rest, split at
// newlines, is the text of the From, To and Every boxes. A Show that is
// accepted must give values within the rules, a record made of them must
// hold the same pages and seconds, and the dialog opened again on that
// record must accept it unchanged. A refused Show names its box or beeps.
#include "model/slideshow/slide_show_dlg_checks.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Page counts at the edges, for first bytes past the usual 1 to 99.
constexpr int kEdgeCounts[] = {0, -1, 100, 1000, INT_MAX, INT_MIN, 2, 1};

int PageCount(std::uint8_t byte) {
    return byte < 248 ? 1 + byte % 99 : kEdgeCounts[byte - 248];
}

// The next field up to a newline (or the rest).
std::string NextField(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    std::string field(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return field;
}

void CheckAccepted(const SlideShowDlgData& v, int pageCount) {
    Check(v.m_nFrom >= 1 && v.m_nFrom <= pageCount);
    Check(v.m_nTo >= v.m_nFrom && v.m_nTo <= pageCount);
    Check(v.m_nEvery >= kMinSeconds && v.m_nEvery <= kMaxSeconds);
    const CSlideShowInfo record = v.ToRecord(pageCount);
    Check(record.m_nSeconds == v.m_nEvery);
    Check(record.m_nStartPage >= 1 && record.m_nStartPage <= record.m_nEndPage);
    Check(record.m_nEndPage <= pageCount);
    Check(record.m_bGoBySeconds == (v.m_nAdvanceChoice == 0));
    // Opened again on the record, the dialog shows and accepts the same.
    const SlideShowDlgData again = SlideShowDlgData::FromRecord(record);
    SlideShowDlgFields fields;
    fields.advanceChoice = again.m_nAdvanceChoice;
    fields.playSounds = again.m_bPlaySounds;
    fields.runContinuously = again.m_bRunContinuously;
    fields.from = std::to_string(again.m_nFrom);
    fields.to = std::to_string(again.m_nTo);
    fields.every = std::to_string(again.m_nEvery);
    const SlideShowDlgOutcome second = CheckSlideShowDlg(fields, pageCount);
    Check(second.values.has_value());
    Check(second.values->ToRecord(pageCount) == record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int pageCount = PageCount(data[0]);
    SlideShowDlgFields fields;
    fields.pagesChoice = data[1] & 1;
    fields.advanceChoice = (data[1] >> 1) & 1;
    fields.playSounds = (data[1] & 4) != 0;
    fields.runContinuously = (data[1] & 8) != 0;
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    fields.from = NextField(rest);
    fields.to = NextField(rest);
    fields.every = NextField(rest);

    const SlideShowDlgOutcome outcome = CheckSlideShowDlg(fields, pageCount);
    if (outcome.values) {
        Check(outcome.focus == SlideShowDlgFocus::None && outcome.message.empty());
        Check(!outcome.beep);
        CheckAccepted(*outcome.values, pageCount);
    } else {
        Check(outcome.focus != SlideShowDlgFocus::None);
        Check(outcome.beep != !outcome.message.empty());
    }
    // A number the box parses is the number its text spells.
    if (const std::optional<int> n = ParseDialogInteger(fields.every))
        Check(ParseDialogInteger(std::to_string(*n)) == n);
    return 0;
}
