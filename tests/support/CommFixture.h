#pragma once

#include "platform/VirtualTimeSource.h"
#include "protocol/CameraComm.h"
#include "support/CameraBytes.h"
#include "support/ScriptedLine.h"

#include <gtest/gtest.h>

namespace oskel::test {

// A camera communication object on a scripted line, in virtual time.
class CommFixture : public ::testing::Test {
protected:
    CommFixture() : line(clock), comm(line, clock) {}

    // Opens the scripted port directly, leaving the link "synchronised"
    // without a handshake (Resync(0) sees an empty line).
    void OpenQuietly(int speed = 19200)
    {
        ASSERT_TRUE(line.OpenPort(0));
        ASSERT_TRUE(line.SetBaudRate(speed));
        line.frames.clear();
        line.writes.clear();
        line.chunks.clear();
        line.baudRates.clear();
    }

    uint32_t Now() { return clock.TickCount(); }

    VirtualTimeSource clock;
    ScriptedLine line;
    CCameraComm comm;
};

} // namespace oskel::test
