// A small streaming JSON writer for the book tool's reports: objects,
// arrays, strings, integers, booleans and null, indented two spaces.
// Strings are single-byte text: valid UTF-8 passes through, any other byte
// is read as Latin-1, so the output is always valid UTF-8 JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : m_out(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // Names the next value inside an object.
    void Key(std::string_view name);
    void String(std::string_view value);
    void OptionalString(const std::optional<std::string>& value); // null when absent
    void Int(std::int64_t value);
    void Bool(bool value);
    void Null();

    // A named value inside an object: Key, then the value.
    void Field(std::string_view name, std::string_view value) {
        Key(name);
        String(value);
    }
    void Field(std::string_view name, std::int64_t value) {
        Key(name);
        Int(value);
    }
    // Null when the value is absent.
    void OptionalField(std::string_view name, const std::optional<std::string>& value) {
        Key(name);
        OptionalString(value);
    }

    // The JSON text of a string, quotes included.
    static std::string Quote(std::string_view value);

private:
    void BeforeValue();
    void Newline();

    std::ostream& m_out;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};
