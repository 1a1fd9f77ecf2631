#include "platform/text_util.h"

#include <climits>
#include <cstdint>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    char l = LowerAscii(c);
    if (l >= 'a' && l <= 'z')
        return l - 'a' + 10;
    return 99;
}

// Reads digits of a base from position i and returns the signed, clamped result.
// The magnitude saturates just past the int range, so no digit count overflows it.
int AccumulateClamped(std::string_view s, std::size_t i, int base, bool negative) {
    constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 2;
    std::int64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        int d = DigitValue(s[i]);
        if (d >= base)
            break;
        magnitude = magnitude * base + d;
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    std::int64_t v = negative ? -magnitude : magnitude;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

std::size_t SkipSpaceAndSign(std::string_view s, bool& negative) {
    std::size_t i = 0;
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return i;
}

} // namespace

std::string_view Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

int ParseDecimalInt(std::string_view s) {
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(s, negative);
    return AccumulateClamped(s, i, 10, negative);
}

int ParseCInteger(std::string_view s) {
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(s, negative);
    int base = 10;
    if (i < s.size() && s[i] == '0') {
        // "0x" counts as hexadecimal only when a hex digit follows; "0x" alone reads as 0.
        if (i + 2 < s.size() && LowerAscii(s[i + 1]) == 'x' && DigitValue(s[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    return AccumulateClamped(s, i, base, negative);
}

std::string StripQuotationMarks(std::string_view name) {
    if (!name.empty() && name.front() == '"')
        name.remove_prefix(1);
    std::size_t last = name.rfind('"');
    if (last != std::string_view::npos)
        name = name.substr(0, last);
    return std::string(name);
}
