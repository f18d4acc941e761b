#include "programs/ProgramHeader.h"

#include <algorithm>
#include <cstring>

namespace oskel {
namespace {

constexpr char kDigits[] = "0123456789abcdefABCDEF";
constexpr int kDigitCount = 22;

int DigitValue(uint8_t c)
{
    for (int i = 0; i < kDigitCount; ++i) {
        if (static_cast<uint8_t>(kDigits[i]) == c)
            return i < 16 ? i : i - 6;
    }
    return -1;
}

} // namespace

int ParseHex4(const uint8_t* digits)
{
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int d = DigitValue(digits[i]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

int ParseHex4(const char* digits)
{
    return ParseHex4(reinterpret_cast<const uint8_t*>(digits));
}

bool IsValidHeader(const uint8_t* header, bool plusSignature)
{
    const char* signature = plusSignature ? "KAVRA+~" : "KAVRA~";
    if (std::memcmp(header, signature, std::strlen(signature)) != 0)
        return false;
    for (int offset : {kHeaderKindOffset, kHeaderAppIdOffset, kHeaderCopyFlagOffset, kHeaderVersionOffset}) {
        if (ParseHex4(header + offset) < 0)
            return false;
    }
    return true;
}

std::string ReadTextField(const uint8_t* field, int width)
{
    const uint8_t* end = field + std::max(width, 0);
    const uint8_t* stop = std::find_if(field, end, [](uint8_t c) { return c == '~' || c == 0; });
    return std::string(reinterpret_cast<const char*>(field), static_cast<size_t>(stop - field));
}

void WriteTextField(uint8_t* field, int width, std::string_view text)
{
    if (width <= 0)
        return;
    const size_t length = std::min(text.size(), static_cast<size_t>(width));
    std::memcpy(field, text.data(), length);
    if (length < static_cast<size_t>(width)) {
        field[length] = '~';
        std::memset(field + length + 1, ' ', static_cast<size_t>(width) - length - 1);
    }
}

} // namespace oskel
