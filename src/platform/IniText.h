#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oskel {

// The text of a settings file, read and changed with the classic profile
// rules, keeping every byte this program does not change.
//
// Reading: section and key names compare case-insensitively (ASCII) and
// without surrounding blanks; the first section of a name is the only one
// consulted and the first key of a name in it wins; a line starting with ';'
// is a comment; a line without '=' names a key without a value; a section
// header that is never closed is an ordinary line. A value loses surrounding
// blanks and then one pair of matching quotes (' or ").
//
// Changing: only the value part of the one line concerned is replaced, or one
// line (and perhaps a section header) is inserted; everything else, line
// endings included, stays as it was.
class IniText {
public:
    explicit IniText(std::string text);

    // The value of section/key; nullopt when the key is absent or has no '='.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets section/key to value. False (text unchanged) when a name or the
    // value cannot be stored on one line: line breaks or NUL anywhere, ']'
    // in a section name, '=' in a key, a key starting with '[' or ';', or an
    // empty key.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& Text() const { return m_text; }

    // How a value is written so that it reads back unchanged: quoted when it
    // has surrounding blanks or would otherwise lose a pair of quotes.
    static std::string EncodeValue(std::string_view value);

private:
    struct Line {
        size_t begin;   // first byte of the line
        size_t end;     // end of its content (line ending excluded)
        size_t next;    // first byte of the next line
    };
    struct KeyLocation {
        size_t line;
        bool hasValue;
        size_t valueBegin;  // value span inside the text, blanks excluded
        size_t valueEnd;
    };

    void Split();
    std::optional<size_t> FindSection(std::string_view section) const;
    // Lines of the section whose header is at line index h: [h + 1, result).
    size_t SectionEnd(size_t header) const;
    std::optional<KeyLocation> FindKey(size_t header, std::string_view key) const;
    std::optional<std::string_view> SectionName(const Line& line) const;
    std::optional<std::string_view> KeyName(const Line& line) const;
    std::string_view Content(const Line& line) const;
    std::string LineEnding() const;
    void Insert(size_t offset, const std::string& bytes);

    std::string m_text;
    std::vector<Line> m_lines;
    size_t m_bodyStart = 0;  // after a UTF-8 byte-order mark
};

} // namespace oskel
