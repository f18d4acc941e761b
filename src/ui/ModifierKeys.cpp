#include "ui/ModifierKeys.h"

namespace oskel::ui {
namespace {

class NoModifierKeys final : public IModifierKeys {
public:
    unsigned HeldModifiers() override { return 0; }
};

NoModifierKeys g_defaultKeys;
IModifierKeys* g_current = nullptr;

} // namespace

void SetModifierKeys(IModifierKeys* keys)
{
    g_current = keys;
}

IModifierKeys& CurrentModifierKeys()
{
    return g_current != nullptr ? *g_current : g_defaultKeys;
}

bool AreModifiersHeld(unsigned mask)
{
    return mask != 0 && (CurrentModifierKeys().HeldModifiers() & mask) == mask;
}

} // namespace oskel::ui
