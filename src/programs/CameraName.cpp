#include "programs/CameraName.h"

#include "programs/ProgramCatalog.h"

#include <algorithm>
#include <cstring>

namespace oskel {
namespace {

constexpr size_t kStemSize = 8;
constexpr size_t kExtensionSize = 3;

unsigned char Fold(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

} // namespace

bool MakeCameraName(std::string_view fileName, char* name)
{
    std::memset(name, 0, kCameraNameSize);
    const size_t dot = fileName.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > kStemSize || fileName.size() - dot - 1 < kExtensionSize)
        return false;
    std::memcpy(name, fileName.data(), dot);
    std::memset(name + dot, ' ', kStemSize - dot);
    std::memcpy(name + kStemSize, fileName.data() + dot + 1, kExtensionSize);
    name[kCameraNameSize - 1] = '\0';
    return true;
}

std::string ShortenedFileName(std::string_view fileName)
{
    const size_t dot = std::min(fileName.find('.'), fileName.size());
    size_t cut = std::min(dot, kStemSize);
    // Back to the first byte of a character cut in two.
    if (cut < dot) {
        while (cut > 0 && (static_cast<unsigned char>(fileName[cut]) & 0xC0) == 0x80)
            --cut;
    }
    const std::string stem = cut == 0 ? std::string("HOST") : std::string(fileName.substr(0, cut));
    return stem + std::string(fileName.substr(dot));
}

std::string CameraNameText(const char* name)
{
    return std::string(name, strnlen(name, kCameraNameSize - 1));
}

bool CameraNamesEqual(const char* a, const char* b)
{
    for (int i = 0; i < kCameraNameSize; ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

void NextCopyName(char* name, const ProgramCatalog& catalog)
{
    int p = 7;
    for (int i = 0; i < 7; ++i) {
        if (name[i] == ' ') {
            p = i;
            break;
        }
    }
    name[p] = '2';
    while (name[p] <= '5' && catalog.FindInCamera(name) >= 0)
        ++name[p];
}

} // namespace oskel
