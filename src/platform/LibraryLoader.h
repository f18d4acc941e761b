#pragma once

#include <string>

namespace oskel {

// Loads a shared library by name and finds its exports by name.
class LibraryLoader {
public:
    using Handle = void*;

    virtual ~LibraryLoader() = default;
    virtual Handle Load(const std::string& name) = 0; // null when not found
    virtual void* Symbol(Handle library, const std::string& name) = 0; // null when missing
    virtual void Free(Handle library) = 0;
};

class DlLibraryLoader final : public LibraryLoader {
public:
    Handle Load(const std::string& name) override;
    void* Symbol(Handle library, const std::string& name) override;
    void Free(Handle library) override;

    static DlLibraryLoader& Instance();
};

} // namespace oskel
