// Which camera family a model text belongs to.
#include "camera/CameraConnection.h"

#include <cstring>

namespace oskel {
namespace {

constexpr int kModelTextSize = 64;

struct ModelPrefix {
    const char* prefix;
    size_t length;
    int family;
};

// Compared in this order; the first match decides. "SR35" is handled apart.
constexpr ModelPrefix kPrefixes[] = {
    {"SR82", 4, 5}, {"SR52", 4, 4}, {"FUPLOAD", 7, 5}, {"SR42", 4, 3}, {"SR22", 4, 2}, {"SR1 ", 4, 1},
};

} // namespace

int CCameraConnection::Identify()
{
    char text[kModelTextSize + 1] = {};
    m_bModelTextUnread = !GetModelText(text);
    if (m_bModelTextUnread)
        return ClassifyModel(nullptr);
    return ClassifyModel(text);
}

int CCameraConnection::ClassifyModel(const char* modelText) const
{
    if (modelText == nullptr)
        return 0;
    // At most 64 bytes of the text are looked at, never past a zero byte.
    char text[kModelTextSize + 1] = {};
    std::memcpy(text, modelText, strnlen(modelText, kModelTextSize));
    for (const auto& p : kPrefixes) {
        if (std::strncmp(text, p.prefix, p.length) == 0)
            return p.family;
    }
    if (std::strncmp(text, "SR35", 4) == 0)
        return UnknownModelsAccepted() ? 4 : 0;
    return 0;
}

} // namespace oskel
