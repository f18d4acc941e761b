#include "platform/LibraryLoader.h"

#include <dlfcn.h>

namespace oskel {

LibraryLoader::Handle DlLibraryLoader::Load(const std::string& name)
{
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DlLibraryLoader::Symbol(Handle library, const std::string& name)
{
    if (library == nullptr)
        return nullptr;
    return dlsym(library, name.c_str());
}

void DlLibraryLoader::Free(Handle library)
{
    if (library != nullptr)
        dlclose(library);
}

DlLibraryLoader& DlLibraryLoader::Instance()
{
    static DlLibraryLoader instance;
    return instance;
}

} // namespace oskel
