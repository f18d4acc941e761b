#include "res/BitmapResources.h"

#include "res/DialogTemplates.h"

#include <algorithm>
#include <cctype>

namespace oskel::res {
namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
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
