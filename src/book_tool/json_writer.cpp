#include "book_tool/json_writer.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when none starts there.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    }
    // Reject overlong three- and four-byte forms and surrogates.
    if (n == 3 && ((c == 0xE0 && byte(i + 1) < 0xA0) || (c == 0xED && byte(i + 1) >= 0xA0)))
        return 0;
    if (n == 4 && ((c == 0xF0 && byte(i + 1) < 0x90) || (c == 0xF4 && byte(i + 1) >= 0x90)))
        return 0;
    return n;
}

} // namespace

std::string JsonWriter::Quote(std::string_view value) {
    std::string out = "\"";
    for (std::size_t i = 0; i < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (std::size_t n = Utf8Length(value, i)) {
            out.append(value.substr(i, n));
            i += n - 1;
        } else {
            // A byte that is not UTF-8: the Latin-1 character of that code.
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::Newline() {
    m_out << '\n' << std::string(m_first.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out << ',';
        m_first.back() = false;
        Newline();
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        Newline();
    m_out << '}';
    if (m_first.empty())
        m_out << '\n';
}

void JsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        Newline();
    m_out << ']';
}

void JsonWriter::Key(std::string_view name) {
    BeforeValue();
    m_out << Quote(name) << ": ";
    m_afterKey = true;
}

void JsonWriter::String(std::string_view value) {
    BeforeValue();
    m_out << Quote(value);
}

void JsonWriter::OptionalString(const std::optional<std::string>& value) {
    if (value)
        String(*value);
    else
        Null();
}

void JsonWriter::Int(std::int64_t value) {
    BeforeValue();
    m_out << value;
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
}

void JsonWriter::Null() {
    BeforeValue();
    m_out << "null";
}
