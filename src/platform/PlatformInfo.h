#pragma once

namespace oskel {

// Platform identifiers as the classic version query reports them.
constexpr int kPlatformWin32s = 0;
constexpr int kPlatformWin32Windows = 1;
constexpr int kPlatformWin32NT = 2;

struct PlatformVersion {
    bool ok = false;     // the query succeeded
    int platformId = kPlatformWin32s;
    int majorVersion = 0;
    // A POSIX system: paths separated by '/', no drive letters; its folder
    // chooser is the tree browser whatever the major version.
    bool posix = false;
};

class PlatformInfo {
public:
    virtual ~PlatformInfo() = default;
    virtual PlatformVersion Query() = 0;

    // A failed query counts as the Win32s platform.
    bool IsWin32s();
};

// Linux: a full 32-bit platform, never Win32s, and POSIX; the major
// version is the kernel's.
class LinuxPlatformInfo final : public PlatformInfo {
public:
    PlatformVersion Query() override;
    static LinuxPlatformInfo& Instance();
};

} // namespace oskel
