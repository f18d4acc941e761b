#include "camera/CameraIdentityText.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

#include <cstring>

namespace oskel {
namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The table's format with its one "%s" replaced by text; the text is never
// read as a format itself.
std::string FillFormat(unsigned id, const std::string& text)
{
    std::string line = res::LoadString(id);
    const size_t at = line.find("%s");
    if (at == std::string::npos)
        return line + text;
    return line.replace(at, 2, text);
}

} // namespace

std::string CameraText(const char* buffer, size_t size)
{
    if (buffer == nullptr)
        return {};
    const void* zero = std::memchr(buffer, 0, size);
    size_t length = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - buffer) : size;
    while (length > 0 && IsWhiteSpace(buffer[length - 1]))
        --length;
    return std::string(buffer, length);
}

std::string CameraIdLine(const char* buffer32)
{
    return FillFormat(res::IDS_CAMERA_ID, CameraText(buffer32, kCameraTextSize));
}

std::string CameraVersionLine(const char* buffer32)
{
    return FillFormat(res::IDS_CAMERA_VERSION, CameraText(buffer32, kCameraTextSize));
}

} // namespace oskel
