#include "ui/MessageBox.h"

#include "res/StringTable.h"

#include <cstdio>

namespace oskel::ui {
namespace {

class StderrMessageBox final : public IMessageBox {
public:
    int Show(const std::string& text, unsigned type, unsigned) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        switch (type & 0xF) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        default:
            return IDOK;
        }
    }
};

StderrMessageBox g_defaultBox;
IMessageBox* g_current = nullptr;

} // namespace

void SetMessageBox(IMessageBox* box)
{
    g_current = box;
}

IMessageBox& CurrentMessageBox()
{
    return g_current != nullptr ? *g_current : g_defaultBox;
}

int AfxMessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    return CurrentMessageBox().Show(text, type, helpId);
}

int AfxMessageBox(unsigned idPrompt, unsigned type, unsigned helpId)
{
    if (helpId == static_cast<unsigned>(-1))
        helpId = idPrompt;
    return CurrentMessageBox().Show(res::LoadString(idPrompt), type, helpId);
}

} // namespace oskel::ui
