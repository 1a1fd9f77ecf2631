// Small text helpers for single-byte strings. Letter case is ASCII only.
#pragma once

#include <string>
#include <string_view>

// The text without leading and trailing blanks and tabs.
std::string_view Trim(std::string_view s);

std::string ToLowerAscii(std::string_view s);

// A file name as the open command takes it: a leading quotation mark goes,
// and the name ends at the last quotation mark (when there is one).
std::string StripQuotationMarks(std::string_view name);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Optional sign, then decimal digits up to the first other character, after
// leading blanks; no digits gives 0; the result is clamped to the int range.
int ParseDecimalInt(std::string_view s);

// A C integer literal with automatic base, as strtol with base 0 reads it:
// leading blanks, optional sign, "0x"/"0X" hexadecimal, a leading 0 octal,
// else decimal, stopping at the first character that does not fit. No digits
// gives 0; the result is clamped to the int range.
int ParseCInteger(std::string_view s);
