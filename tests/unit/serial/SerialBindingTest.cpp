#include "platform/PlatformInfo.h"
#include "platform/VirtualTimeSource.h"
#include "protocol/CameraComm.h"
#include "serial/LibrarySerialOps.h"
#include "serial/SerialBinding.h"
#include "support/ScriptedLine.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace oskel::test {
namespace {

struct FixedPlatform : PlatformInfo {
    PlatformVersion version;
    PlatformVersion Query() override { return version; }
};

// Stand-ins for the nine library exports.
int g_opened = -1;
int LibOpen(int index) { return g_opened = index, 1; }
int LibIsOpen() { return g_opened >= 0 ? 1 : 0; }
int LibSetBaud(int) { return 1; }
int LibClose() { return g_opened = -1, 1; }
int LibWrite(const uint8_t*, int count, uint32_t* written, int) { return *written = static_cast<uint32_t>(count), 1; }
int LibRead(uint8_t*, int, uint32_t* read) { return *read = 0, 1; }
int LibBytes(uint32_t* count) { return *count = 0, 1; }
int LibClear() { return 1; }
int LibDelay(int) { return 1; }

struct FakeLoader : LibraryLoader {
    bool present = true;
    std::string missingExport;
    int loads = 0, frees = 0;
    int token = 0;

    Handle Load(const std::string& name) override
    {
        ++loads;
        loadedName = name;
        return present ? &token : nullptr;
    }
    void* Symbol(Handle, const std::string& name) override
    {
        if (name == missingExport)
            return nullptr;
        static const std::map<std::string, void*> exports = {
            {"SerialOpenPort16_b", reinterpret_cast<void*>(&LibOpen)},
            {"SerialIsPortOpen16_b", reinterpret_cast<void*>(&LibIsOpen)},
            {"SerialSetBaudRate16_b", reinterpret_cast<void*>(&LibSetBaud)},
            {"SerialClosePort16_b", reinterpret_cast<void*>(&LibClose)},
            {"SerialWritePort16_b", reinterpret_cast<void*>(&LibWrite)},
            {"SerialReadPort16_b", reinterpret_cast<void*>(&LibRead)},
            {"SerialBytesInBuf16_b", reinterpret_cast<void*>(&LibBytes)},
            {"SerialClearBufs16_b", reinterpret_cast<void*>(&LibClear)},
            {"SerialDelayCalibrate16_b", reinterpret_cast<void*>(&LibDelay)},
        };
        auto it = exports.find(name);
        return it == exports.end() ? nullptr : it->second;
    }
    void Free(Handle) override { ++frees; }
    std::string loadedName;
};

struct RecordingBox : ui::IMessageBox {
    std::vector<std::pair<std::string, unsigned>> shown;
    int Show(const std::string& text, unsigned type, unsigned) override
    {
        shown.emplace_back(text, type);
        return ui::IDOK;
    }
};

class SerialBindingTest : public ::testing::Test {
protected:
    SerialBindingTest() : native(clock) { ui::SetMessageBox(&box); }
    ~SerialBindingTest() override { ui::SetMessageBox(nullptr); }

    CommEnvironment Environment()
    {
        CommEnvironment e;
        e.time = &clock;
        e.nativeOps = &native;
        e.platform = &platform;
        e.loader = &loader;
        return e;
    }

    VirtualTimeSource clock;
    ScriptedLine native;
    FixedPlatform platform;
    FakeLoader loader;
    RecordingBox box;
};

TEST_F(SerialBindingTest, LinuxUsesTheNativeTableWithoutLoadingAnything)
{
    platform.version = {true, kPlatformWin32NT, 6};
    CCameraComm comm(Environment());
    EXPECT_EQ(&comm.Ops(), &native);
    EXPECT_EQ(loader.loads, 0);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_FALSE(LinuxPlatformInfo().IsWin32s());
}

TEST_F(SerialBindingTest, Win32sBindsTheLibraryAndFreesItOnDestruction)
{
    platform.version = {true, kPlatformWin32s, 3};
    {
        CCameraComm comm(Environment());
        EXPECT_NE(&comm.Ops(), &native);
        EXPECT_EQ(loader.loadedName, "qrixcomm.dll");
        comm.SetPort(4);
        EXPECT_FALSE(comm.IsOpen());
        EXPECT_TRUE(comm.Ops().OpenPort(4));
        EXPECT_EQ(g_opened, 4);
        comm.Ops().ClosePort();
    }
    EXPECT_EQ(loader.frees, 1);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SerialBindingTest, MissingLibraryWarnsOnceAndFallsBack)
{
    platform.version = {true, kPlatformWin32s, 3};
    loader.present = false;
    CCameraComm comm(Environment());
    EXPECT_EQ(&comm.Ops(), &native);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].first, "Error: QRIXCOMM.DLL not found");
    EXPECT_EQ(box.shown[0].second, 0x30u);
}

TEST_F(SerialBindingTest, LibraryLackingAnExportFallsBackInsteadOfCrashing)
{
    platform.version = {true, kPlatformWin32s, 3};
    loader.missingExport = "SerialReadPort16_b";
    {
        CCameraComm comm(Environment());
        EXPECT_EQ(&comm.Ops(), &native);
        EXPECT_EQ(comm.LibraryHandle(), nullptr);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].second, 0x30u);
    }
    EXPECT_EQ(loader.frees, 1); // freed at once, not again at destruction
}

TEST_F(SerialBindingTest, FailedVersionQueryKeepsTheNativeTable)
{
    platform.version = {false, kPlatformWin32s, 0};
    CCameraComm comm(Environment());
    EXPECT_EQ(&comm.Ops(), &native);
    EXPECT_EQ(loader.loads, 0);
    EXPECT_TRUE(platform.IsWin32s()); // but counts as Win32s elsewhere
}

} // namespace
} // namespace oskel::test
