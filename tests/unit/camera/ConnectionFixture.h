#pragma once

#include "camera/CameraConnection.h"
#include "camera/CommSettings.h"
#include "platform/PlatformInfo.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualTimeSource.h"
#include "support/FakeCamera.h"
#include "support/ScriptedLine.h"
#include "support/TempDir.h"
#include "support/TestFrontEnd.h"

#include <gtest/gtest.h>

#include <memory>

namespace oskel::test {

struct FixedPlatform : PlatformInfo {
    PlatformVersion version{true, kPlatformWin32NT, 6};
    PlatformVersion Query() override { return version; }
};

// A connection on a scripted line with a small camera, its settings in a
// temporary QUIVRAN.INI, in virtual time.
class ConnectionFixture : public ::testing::Test {
protected:
    ConnectionFixture() : settings(dir / "QUIVRAN.INI"), line(clock), camera(line, 0)
    {
        CCameraConnection::ResetRunFlagsForTest();
    }

    void Store(const char* key, int value) { settings.WriteInt(kCommSection, key, value); }
    int Stored(const char* key) { return settings.GetInt(kCommSection, key, -12345); }

    std::unique_ptr<CCameraConnection> MakeConnection()
    {
        return std::make_unique<CCameraConnection>(settings, line, clock, platform);
    }

    TempDir dir;
    ProfileFile settings;
    VirtualTimeSource clock;
    ScriptedLine line;
    FakeCamera camera;
    FixedPlatform platform;
    TestFrontEnd frontEnd;
};

} // namespace oskel::test
