#include "commands/ProgramText.h"

#include "programs/CameraName.h"
#include "programs/ProgramHeader.h"
#include "ui/ReadableText.h"

#include <algorithm>
#include <cstdio>

namespace oskel::cli {

std::string KindText(int kind)
{
    return kind == kKindAttachment ? "attachment" : "application";
}

std::string VersionText(int version)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(version) & 0xFFFF);
    return text;
}

// As a user would type it.
std::string DottedCameraBytes(const char* name)
{
    std::string text = CameraNameText(name);
    std::string base = text.substr(0, std::min<size_t>(8, text.size()));
    std::string ext = text.size() > 8 ? text.substr(8) : std::string();
    base.erase(base.find_last_not_of(' ') + 1);
    ext.erase(ext.find_last_not_of(' ') + 1);
    return ext.empty() ? base : base + "." + ext;
}

std::string DottedCameraName(const char* name)
{
    return ui::ReadableText(DottedCameraBytes(name));
}

} // namespace oskel::cli
