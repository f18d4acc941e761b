#include "app/MessageText.h"

#include "res/StringTable.h"

#include <cstdio>

namespace oskel {

std::string FormatMessageText(unsigned id, const std::string& text)
{
    std::string message = res::LoadString(id);
    const size_t at = message.find("%s");
    if (at == std::string::npos)
        return message;
    return message.replace(at, 2, text);
}

std::string FormatMessageCode(unsigned id, uint32_t code)
{
    std::string message = res::LoadString(id);
    const size_t at = message.find("%08x");
    if (at == std::string::npos)
        return message;
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(code));
    return message.replace(at, 4, digits);
}

} // namespace oskel
