// A small streaming JSON writer appending to one string: objects, arrays, keys,
// integers, booleans and strings, with commas placed by the writer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorlet3 {

class JsonWriter {
public:
    // Appends to out; the caller reserves what it expects to write.
    explicit JsonWriter(std::string& out) : m_out(out) {}
    // Appends to out and hands it to spill (which empties it) whenever it holds a
    // megabyte, so that a long document is written out piece by piece.
    JsonWriter(std::string& out, std::function<void(std::string&)> spill) : m_out(out), m_spill(std::move(spill)) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // A member name; the next value written is its value. Names are plain ASCII.
    void Key(std::string_view name);

    void Int(long long value);
    void Bool(bool value);
    // A string already in UTF-8, escaped as RFC 8259 asks.
    void Utf8(std::string_view text);
    // A string of cp932 bytes from the log, decoded to UTF-8 (invalid bytes as U+FFFD).
    void Cp932(std::string_view text);
    // A value already written as JSON (a quoted, escaped string), as the next value.
    void Written(std::string_view json);

    // The JSON string of cp932 bytes from the log, for writing the same value many times.
    static std::string Cp932String(std::string_view text);

    // Shorthands for a member and its value.
    void Member(std::string_view name, long long value) {
        Key(name);
        Int(value);
    }
    void MemberUtf8(std::string_view name, std::string_view text) {
        Key(name);
        Utf8(text);
    }
    void MemberCp932(std::string_view name, std::string_view text) {
        Key(name);
        Cp932(text);
    }

private:
    void BeforeValue() {
        if (m_spill && m_out.size() >= kSpillBytes) {
            m_spill(m_out);
        }
        if (m_needComma) {
            m_out += ',';
        }
        m_needComma = true;
    }
    void Open(char bracket) {
        BeforeValue();
        m_out += bracket;
        m_needComma = false;
    }
    void Close(char bracket) {
        m_out += bracket;
        m_needComma = true;
    }

    static constexpr size_t kSpillBytes = size_t{1} << 20;

    std::string& m_out;
    std::function<void(std::string&)> m_spill;
    bool m_needComma = false;  // a value was written at this level: the next one needs a comma
};

// Appends text (UTF-8) with every quote, backslash and control byte below 0x20 escaped.
void AppendJsonEscaped(std::string& out, std::string_view text);

}  // namespace quorlet3
