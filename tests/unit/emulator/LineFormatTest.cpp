#include "emulator/LineFormat.h"

#include <gtest/gtest.h>

namespace oskel::emulator {
namespace {

TEST(LineFormat, EqualFormatsPassEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        const auto got = ReceiveAs(static_cast<uint8_t>(b), LineFormat::Raw8N1(57600), LineFormat::Raw8N1(57600));
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].value, b);
        EXPECT_FALSE(got[0].framingError);
    }
}

TEST(LineFormat, ProbeAt19200SeenByAFasterReceiverIsABreak)
{
    for (int fast : {38400, 57600, 115200, 230400}) {
        const auto got = ReceiveAs(0x00, LineFormat::Raw8N1(19200), LineFormat::Raw8N1(fast));
        ASSERT_EQ(got.size(), 1u) << fast;
        EXPECT_TRUE(got[0].IsBreak()) << fast;
    }
}

TEST(LineFormat, MismatchedSpeedsGarbleTheProtocolBytes)
{
    for (int pc : {9600, 38400, 57600, 115200, 230400}) {
        for (uint8_t b : {uint8_t{0x1B}, uint8_t{0x06}, uint8_t{0x15}, uint8_t{0x43}}) {
            const auto got = ReceiveAs(b, LineFormat::Raw8N1(pc), LineFormat::Raw8N1(19200));
            const bool intact = got.size() == 1 && got[0].value == b && !got[0].framingError;
            EXPECT_FALSE(intact) << pc << " " << int(b);
        }
    }
}

TEST(LineFormat, SlowSenderLooksLikeSeveralBytesToAFastReceiver)
{
    // 0x0F at 9600: start bit, four high data bits, four low ones; 230400
    // reads the start bit as one frame and the low run as another.
    const auto got = ReceiveAs(0x0F, LineFormat::Raw8N1(9600), LineFormat::Raw8N1(230400));
    EXPECT_GE(got.size(), 2u);
}

TEST(LineFormat, ParityOrDataBitMismatchGarbles)
{
    const LineFormat camera = LineFormat::Raw8N1(19200);
    const auto sevenBits = ReceiveAs(0x1B, LineFormat{19200, 7, LineFormat::kNone, 1}, camera);
    ASSERT_EQ(sevenBits.size(), 1u);
    EXPECT_EQ(sevenBits[0].value, 0x9B); // the stop bit read as bit 7
    const auto parity = ReceiveAs(0x07, camera, LineFormat{19200, 8, LineFormat::kOdd, 1});
    ASSERT_EQ(parity.size(), 1u);
    EXPECT_TRUE(parity[0].parityError);
}

} // namespace
} // namespace oskel::emulator
