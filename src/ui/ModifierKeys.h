#pragma once

namespace oskel::ui {

// Modifier keys, as bits of a mask.
enum ModifierKey : unsigned {
    kModShift = 0x1,
    kModCtrl = 0x2,
    kModAlt = 0x4,
};

// Which modifier keys are held down at this moment. The front end implements
// it; the default reports none.
class IModifierKeys {
public:
    virtual ~IModifierKeys() = default;
    virtual unsigned HeldModifiers() = 0;
};

// Installs the front end's modifier-key state (null restores the default).
void SetModifierKeys(IModifierKeys* keys);
IModifierKeys& CurrentModifierKeys();

// True when every key of mask is held (an empty mask is never held).
bool AreModifiersHeld(unsigned mask);

} // namespace oskel::ui
