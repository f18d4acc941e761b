#include "emulator/CameraConfig.h"

namespace oskel::emulator {

int TextRegisterSize(int reg)
{
    switch (reg) {
    case 22:
    case 25:
    case 26:
        return 32;
    case 27:
        return 64;
    case 37:
        return 256;
    default:
        return 0;
    }
}

std::string AcceptedSignature(const std::string& modelText)
{
    const std::string prefix = modelText.substr(0, 4);
    return prefix == "SR52" || prefix == "SR35" ? "KAVRA~" : "KAVRA+~";
}

bool CameraNameFromFileName(const std::string& fileName, CameraName* name)
{
    const size_t dot = fileName.find('.');
    const std::string base = fileName.substr(0, dot);
    if (base.empty() || base.size() > 8)
        return false;
    std::string ext = dot == std::string::npos ? std::string() : fileName.substr(dot + 1, 3);
    name->fill(0);
    for (size_t i = 0; i < 8; ++i)
        (*name)[i] = static_cast<uint8_t>(i < base.size() ? base[i] : ' ');
    for (size_t i = 0; i < 3; ++i)
        (*name)[8 + i] = static_cast<uint8_t>(i < ext.size() ? ext[i] : ' ');
    return true;
}

std::string FileNameFromCameraName(const CameraName& name)
{
    auto part = [&](size_t from, size_t to) {
        std::string s;
        for (size_t i = from; i < to && name[i] != 0; ++i)
            s += static_cast<char>(name[i]);
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        for (char& c : s) {
            if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
                c = '_';
        }
        return s;
    };
    std::string base = part(0, 8);
    const std::string ext = part(8, 11);
    if (base.empty() || base == "." || base == "..")
        base = "_" + base;
    return ext.empty() ? base : base + "." + ext;
}

} // namespace oskel::emulator
