// The termios back end on real pseudo-terminals, in real time.
#include "platform/RealTimeSource.h"
#include "platform/RealTimeThreadPriority.h"
#include "serial/TermiosSerialOps.h"
#include "support/FakeSystemTree.h"
#include "support/PtyPair.h"
#include "support/SchedulingSlack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <pwd.h>
#include <signal.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace oskel::test {
namespace {

class TermiosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        ops.Ports().SetOverrideSource([this](int index) { return index == 0 ? pty.slavePath() : std::string(); });
    }


    PtyPair pty;
    TermiosSerialOps ops{RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent")};
    RealTimeSource& clock = RealTimeSource::Instance();
};

TEST_F(TermiosTest, OneByteReadTimesOutAfterAbout501Ms)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(19200));
    uint8_t b = 0;
    uint32_t read = 99;
    const uint32_t start = clock.TickCount();
    EXPECT_TRUE(ops.ReadPort(&b, 1, &read));
    const uint32_t elapsed = clock.TickCount() - start;
    EXPECT_EQ(read, 0u);
    EXPECT_GE(elapsed, 500u);
    EXPECT_LT(elapsed, 501u + kSchedulingSlackMs);
}

TEST_F(TermiosTest, LineIsRaw8N1AndDc1PassesThrough)
{
    {
        // Flow control left on by an earlier program (stty crtscts ixon ixoff).
        termios left{};
        ASSERT_EQ(tcgetattr(pty.master(), &left), 0);
        left.c_cflag |= CRTSCTS;
        left.c_iflag |= IXON | IXOFF;
        ASSERT_EQ(tcsetattr(pty.master(), TCSANOW, &left), 0);
    }
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(115200));
    termios tio{};
    ASSERT_EQ(tcgetattr(pty.master(), &tio), 0); // a pty master reports the slave's settings
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));

    const std::vector<uint8_t> awkward{0x11, 0x13, 0x0D, 0x0A, 0x00, 0x03, 0x1B, 0x7F, 0xFF};
    pty.Write(awkward);
    std::vector<uint8_t> in(awkward.size());
    uint32_t read = 0;
    ASSERT_TRUE(ops.ReadPort(in.data(), static_cast<int>(in.size()), &read));
    EXPECT_EQ(read, awkward.size());
    EXPECT_EQ(in, awkward);

    uint32_t written = 0;
    ASSERT_TRUE(ops.WritePort(awkward.data(), static_cast<int>(awkward.size()), &written, -1));
    EXPECT_EQ(written, awkward.size());
    EXPECT_EQ(pty.Read(awkward.size(), 500), awkward);
}

TEST_F(TermiosTest, PurgeDropsWaitingInput)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(19200));
    pty.Write({1, 2, 3, 4});
    uint32_t waiting = 0;
    for (int i = 0; i < 50 && waiting < 4; ++i) {
        ops.BytesInBuffer(&waiting);
        clock.WaitMs(2);
    }
    EXPECT_EQ(waiting, 4u);
    EXPECT_TRUE(ops.ClearBuffers());
    ops.BytesInBuffer(&waiting);
    EXPECT_EQ(waiting, 0u);
}

// A purge after a write, as before every command: the bytes written have had
// their wire time and are the camera's. On a pty they wait in the kernel
// until the other side reads, with nothing reported queued.
TEST_F(TermiosTest, PurgeKeepsBytesAlreadyWritten)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(230400));
    std::vector<uint8_t> sent;
    // Lost only when the purge comes before the kernel has moved the byte
    // on: a few hundred tries catch that almost every time.
    for (int i = 0; i < 500; ++i) {
        const uint8_t b = static_cast<uint8_t>(i);
        uint32_t written = 0;
        ASSERT_TRUE(ops.WritePort(&b, 1, &written, -1));
        ASSERT_TRUE(ops.ClearBuffers());
        sent.push_back(b);
    }
    EXPECT_EQ(pty.Read(sent.size(), 1000).size(), sent.size());
}

TEST_F(TermiosTest, SecondOpenerIsRefusedAsInUse)
{
    ASSERT_TRUE(ops.OpenPort(0));
    TermiosSerialOps second(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent"));
    second.Ports().SetOverrideSource([this](int) { return pty.slavePath(); });
    EXPECT_FALSE(second.OpenPort(0));
    EXPECT_EQ(second.LastOpenError().kind, OpenError::InUse);
    ops.ClosePort();
    EXPECT_TRUE(second.OpenPort(0));
}

// The far side of the pty stays open, as the camera emulator keeps it: no
// exclusive mode may outlive the port's last holder, whether it closed the
// port or was killed holding it, or an ordinary user's next open is refused.
// Root is let through an exclusive mode, so as root the test drops to
// "nobody".
TEST_F(TermiosTest, AnOrdinaryUserCanOpenThePortAgainAfterClosingIt)
{
    const bool root = geteuid() == 0;
    const passwd* nobody = root ? getpwnam("nobody") : nullptr;
    if (root && nobody == nullptr)
        GTEST_SKIP() << "runs as root, and there is no user \"nobody\" to open the port as an ordinary user";
    if (root) {
        ASSERT_EQ(chmod(pty.slavePath().c_str(), 0666), 0);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0))
            _exit(10);
        TermiosSerialOps user(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent"));
        user.SetDeviceOverride(pty.slavePath());
        const pid_t killed = fork();
        if (killed == 0) {
            if (user.OpenPort(0))
                raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        if (killed < 0 || waitpid(killed, &status, 0) != killed || !WIFSIGNALED(status))
            _exit(1);
        for (int open = 2; open <= 3; ++open) {
            if (!user.OpenPort(0))
                _exit(open);
            user.ClosePort();
        }
        _exit(0);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "open number " << WEXITSTATUS(status)
                                      << " was refused (1: the one killed holding the port)";
}

TEST_F(TermiosTest, OpenFailuresKeepTheirReason)
{
    ops.SetDeviceOverride("/dev/does-not-exist-oskel");
    EXPECT_FALSE(ops.OpenPort(0));
    EXPECT_EQ(ops.LastOpenError().kind, OpenError::NoDevice);
    for (const char* notSerial : {"/dev/null", "/dev/zero", "/dev/urandom", "/tmp"}) {
        ops.SetDeviceOverride(notSerial);
        EXPECT_FALSE(ops.OpenPort(0));
        EXPECT_EQ(ops.LastOpenError().kind, OpenError::NotSerial) << notSerial;
    }
    EXPECT_FALSE(ops.OpenPort(10));
    EXPECT_FALSE(ops.OpenPort(-1));
    EXPECT_FALSE(ops.IsPortOpen());
}

TEST_F(TermiosTest, DeviceOverrideAtOneIndexLeavesTheOthersEmpty)
{
    ops.SetDeviceOverride(pty.slavePath(), 2);
    EXPECT_FALSE(ops.OpenPort(0));
    EXPECT_EQ(ops.LastOpenError().kind, OpenError::NoDevice);
    EXPECT_TRUE(ops.OpenPort(2));
    EXPECT_EQ(ops.OpenDevice(), pty.slavePath());
}

TEST_F(TermiosTest, SplitWriteDeliversEveryByteInOrder)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(230400));
    std::vector<uint8_t> packet(300);
    for (size_t i = 0; i < packet.size(); ++i)
        packet[i] = static_cast<uint8_t>(i * 7);
    for (int pacing : {-1, 0, 1}) {
        uint32_t written = 0;
        ASSERT_TRUE(ops.WritePort(packet.data(), 96, &written, pacing));
        EXPECT_EQ(written, 96u);
        EXPECT_EQ(pty.Read(96, 500), std::vector<uint8_t>(packet.begin(), packet.begin() + 96)) << pacing;
    }
}

TEST_F(TermiosTest, WriteReturnsAfterTheBytesWireTime)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(19200));
    std::vector<uint8_t> data(960, 0x55); // 960 x 10 bits at 19200 = 500 ms
    uint32_t written = 0;
    const uint32_t start = clock.TickCount();
    ASSERT_TRUE(ops.WritePort(data.data(), 90, &written, -1)); // 46.9 ms
    ASSERT_TRUE(ops.WritePort(data.data(), 960, &written, -1));
    const uint32_t elapsed = clock.TickCount() - start;
    EXPECT_GE(elapsed, 545u);
    EXPECT_LT(elapsed, 547u + kSchedulingSlackMs);
    EXPECT_EQ(pty.Read(1050, 500).size(), 1050u);
}

// A driver that sends nothing more once `held` bytes are queued, as a port
// with hardware flow control does while the cable keeps CTS low.
class HeldOutputOps : public TermiosSerialOps {
public:
    using TermiosSerialOps::TermiosSerialOps;
    int held = 0;

protected:
    int QueuedOutput() override { return held; }
};

TEST_F(TermiosTest, WriteThatCannotDrainEndsAtItsTimeOutWithAShortCount)
{
    HeldOutputOps stuck(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent"));
    stuck.Ports().SetOverrideSource([this](int) { return pty.slavePath(); });
    ASSERT_TRUE(stuck.OpenPort(0));
    ASSERT_TRUE(stuck.SetBaudRate(19200));
    stuck.held = 40;
    std::vector<uint8_t> data(90, 0x55);
    uint32_t written = 0;
    const uint32_t start = clock.TickCount();
    EXPECT_TRUE(stuck.WritePort(data.data(), 90, &written, -1)); // a time-out is not a failure
    const uint32_t elapsed = clock.TickCount() - start;
    EXPECT_EQ(written, 50u);
    EXPECT_GE(elapsed, 590u); // 500 ms + 90 x 1 ms
    EXPECT_LT(elapsed, 590u + kSchedulingSlackMs);
}

// A USB-serial driver: each write stays counted in the queue for the next
// `inFlightLooks` looks at it (transfers in flight to the adapter); when
// each look came is kept.
class InFlightOps : public TermiosSerialOps {
public:
    using TermiosSerialOps::TermiosSerialOps;
    int inFlightLooks = 0;
    std::vector<uint64_t> looksUs;

protected:
    bool WriteChunk(const uint8_t* bytes, int count, uint32_t* written) override
    {
        m_left = inFlightLooks;
        return TermiosSerialOps::WriteChunk(bytes, count, written);
    }
    int QueuedOutput() override
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        looksUs.push_back(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        return m_left-- > 0 ? 1 : 0;
    }

private:
    int m_left = 0;
};

// A command or an ACK is on the wire for well under a millisecond at
// 230400 bit/s: the write watches the driver's queue in short naps rather
// than sleeping a millisecond (or the wire time) between looks. Only a lower
// bound is exact in real time: every gap of a millisecond sleep would be
// at least that long, so the shortest of many gaps tells them apart.
TEST_F(TermiosTest, AShortWriteWatchesTheDriversQueueInNapsShorterThanAMillisecond)
{
    InFlightOps usb(RealTimeSource::Instance(), RealTimeThreadPriority::Instance(), PortMap("/nonexistent"));
    usb.Ports().SetOverrideSource([this](int) { return pty.slavePath(); });
    ASSERT_TRUE(usb.OpenPort(0));
    ASSERT_TRUE(usb.SetBaudRate(230400));
    usb.inFlightLooks = 12;
    usb.looksUs.clear(); // the open's own look
    const uint8_t ack[5] = {0x06, 0x00, 0x01, 0x02, 0x03}; // 217 us on the wire
    uint32_t written = 0;
    ASSERT_TRUE(usb.WritePort(ack, 5, &written, -1));
    EXPECT_EQ(written, 5u);
    ASSERT_EQ(usb.looksUs.size(), 13u); // the looks while in flight, and the empty one
    uint64_t shortest = UINT64_MAX;
    for (size_t i = 2; i < usb.looksUs.size(); ++i) // after the first wait of the wire time
        shortest = std::min(shortest, usb.looksUs[i] - usb.looksUs[i - 1]);
    EXPECT_LT(shortest, 1000u);
    EXPECT_EQ(pty.Read(5, 500).size(), 5u);
}

TEST_F(TermiosTest, ByteByByteWriteLeavesThePriorityAsItWas)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(230400));
    const id_t tid = static_cast<id_t>(syscall(SYS_gettid));
    const int before = getpriority(PRIO_PROCESS, tid);
    uint8_t data[8] = {};
    uint32_t written = 0;
    ASSERT_TRUE(ops.WritePort(data, 8, &written, 0));
    EXPECT_EQ(getpriority(PRIO_PROCESS, tid), before);
    EXPECT_EQ(sched_getscheduler(0) & ~SCHED_RESET_ON_FORK, SCHED_OTHER);
    pty.Read(8, 200);
}

// Descriptors this process has open.
int OwnDescriptors()
{
    int count = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec))
        ++count;
    return count;
}

TEST_F(TermiosTest, AVanishedDeviceFailsTheReadAndIsLetGoAtOnce)
{
    ASSERT_TRUE(ops.OpenPort(0));
    ASSERT_TRUE(ops.SetBaudRate(19200));
    EXPECT_FALSE(ops.GetOpenDiagnostics().unplugged);
    pty.CloseMaster();
    const int held = OwnDescriptors();
    uint8_t b = 0;
    uint32_t read = 0;
    const uint32_t start = clock.TickCount();
    EXPECT_FALSE(ops.ReadPort(&b, 1, &read));
    EXPECT_LT(clock.TickCount() - start, 500u); // before a read time-out would end
    // Gone for good: no longer open, the descriptor closed before anyone
    // calls ClosePort (so a re-plugged adapter gets its old name back).
    EXPECT_FALSE(ops.IsPortOpen());
    EXPECT_EQ(OwnDescriptors(), held - 1);
    EXPECT_TRUE(ops.GetOpenDiagnostics().unplugged);
    EXPECT_EQ(ops.GetOpenDiagnostics().unpluggedDevice, pty.slavePath());
    EXPECT_TRUE(ops.ClosePort());
    EXPECT_TRUE(ops.OpenDevice().empty());
}

TEST_F(TermiosTest, TheAdaptersLatencyTimerIsReadBackAfterTheOpen)
{
    FakeSystemTree tree;
    const std::string name = std::filesystem::path(pty.slavePath()).filename().string();
    tree.AddFile("sys/class/tty/" + name + "/device/latency_timer", "16\n");
    ASSERT_TRUE(ops.OpenPort(0));
    EXPECT_EQ(ops.GetOpenDiagnostics().latencyTimerMs, -1); // a pty has none
    ops.ClosePort();
    ops.SetSystemRoots(tree.Roots());
    ASSERT_TRUE(ops.OpenPort(0));
    EXPECT_EQ(ops.GetOpenDiagnostics().latencyTimerMs, 16);
    EXPECT_EQ(ops.GetOpenDiagnostics().latencyDevice, name);
}

TEST_F(TermiosTest, ClosedPortOperations)
{
    uint32_t written = 7;
    uint8_t b = 0;
    EXPECT_FALSE(ops.WritePort(&b, 1, &written, -1));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(ops.ClearBuffers());
    EXPECT_TRUE(ops.ClosePort());
    EXPECT_FALSE(ops.SetBaudRate(19200));
}

} // namespace
} // namespace oskel::test
