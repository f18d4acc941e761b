#include "transfer/ResourceText.h"

#include "res/StringTable.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace oskel {

std::string FormatResource(unsigned id, ...)
{
    const std::string format = res::LoadString(id);
    va_list args;
    va_start(args, id);
    va_list again;
    va_copy(again, args);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::vsnprintf(nullptr, 0, format.c_str(), args);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), again);
        text.assign(buffer.data(), static_cast<size_t>(length));
    }
#pragma GCC diagnostic pop
    va_end(again);
    va_end(args);
    return text;
}

} // namespace oskel
