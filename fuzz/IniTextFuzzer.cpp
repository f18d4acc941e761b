// The settings text: any text parses; setting a key changes only that key's
// line (or adds one line, and a section header when the section is new),
// reads back exactly, and leaves every other key as it read before.
#include "FuzzCheck.h"

#include "platform/IniText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The names' rule: surrounding blanks do not count, ASCII case is ignored.
std::string_view Trim(std::string_view s)
{
    const std::string_view blanks(" \t\v\f\r");
    const size_t a = s.find_first_not_of(blanks);
    if (a == std::string_view::npos)
        return {};
    return s.substr(a, s.find_last_not_of(blanks) - a + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Outside the bytes both texts share at the front and at the back, the old
// text keeps at most part of one line (the key's value, no line end) and the
// new one holds at most four line ends (a key's line, or a line end for a
// last line without one, a blank line, a section header and the key's line).
void CheckOnlyOneLineChanged(std::string_view before, std::string_view after)
{
    size_t front = 0;
    while (front < before.size() && front < after.size() && before[front] == after[front])
        ++front;
    size_t back = 0;
    while (back < before.size() - front && back < after.size() - front &&
           before[before.size() - 1 - back] == after[after.size() - 1 - back])
        ++back;
    const std::string_view removed = before.substr(front, before.size() - front - back);
    const std::string_view added = after.substr(front, after.size() - front - back);
    FUZZ_CHECK(removed.find('\n') == std::string_view::npos);
    FUZZ_CHECK(std::count(added.begin(), added.end(), '\n') <= 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(40);
    const std::string key = in.ConsumeRandomLengthString(40);
    const std::string value = in.ConsumeRandomLengthString(80);
    const std::string otherSection = in.ConsumeRandomLengthString(40);
    const std::string otherKey = in.ConsumeRandomLengthString(40);
    const std::string text = in.ConsumeRemainingBytesAsString();

    oskel::IniText ini(text);
    FUZZ_CHECK(ini.Text() == text);
    const std::optional<std::string> otherBefore = ini.Get(otherSection, otherKey);

    if (!ini.Set(section, key, value)) {
        FUZZ_CHECK(ini.Text() == text);
        return 0;
    }
    FUZZ_CHECK(ini.Get(section, key) == value);
    FUZZ_CHECK(oskel::IniText(ini.Text()).Get(section, key) == value);
    if (!(SameName(section, otherSection) && SameName(key, otherKey)))
        FUZZ_CHECK(ini.Get(otherSection, otherKey) == otherBefore);
    CheckOnlyOneLineChanged(text, ini.Text());
    return 0;
}
