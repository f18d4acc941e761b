#include "res/BitmapResources.h"

#include "res/DialogTemplates.h"

#include <algorithm>

namespace oskel::res {
namespace {

// Resource names compare without regard to ASCII case, in any locale.
bool SameName(std::string_view a, std::string_view b)
{
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

} // namespace

std::string_view FindBitmapFile(std::string_view name)
{
    if (SameName(name, "&UPLOADU"))
        return "UploadButton.bmp";
    return {};
}

std::string_view FindIconFile(unsigned id)
{
    if (id == IDI_PROGRAM)
        return "ProgramIcon.png";
    return {};
}

} // namespace oskel::res
