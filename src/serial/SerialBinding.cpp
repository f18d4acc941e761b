#include "serial/SerialBinding.h"

#include "platform/PlatformInfo.h"
#include "serial/LibrarySerialOps.h"
#include "ui/MessageBox.h"

namespace oskel {

SerialBinding ChooseSerialBinding(PlatformInfo& platform, LibraryLoader& loader, SerialPortOps& native)
{
    SerialBinding binding;
    binding.ops = &native;
    const PlatformVersion version = platform.Query();
    if (!version.ok || version.platformId != kPlatformWin32s)
        return binding;

    LibraryLoader::Handle library = loader.Load(kSerialLibraryName);
    if (library == nullptr) {
        ui::AfxMessageBox(kSerialLibraryMissing, ui::MB_ICONEXCLAMATION, 0);
        return binding;
    }
    auto ops = std::make_unique<LibrarySerialOps>();
    if (!ops->Bind(loader, library)) {
        // Calling through a missing export would crash; the built-in table
        // does the same job.
        loader.Free(library);
        ui::AfxMessageBox(kSerialLibraryIncomplete, ui::MB_ICONEXCLAMATION, 0);
        return binding;
    }
    binding.ops = ops.get();
    binding.owned = std::move(ops);
    binding.library = library;
    return binding;
}

} // namespace oskel
