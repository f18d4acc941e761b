#include "protocol/CameraNumbers.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "support/CommFixture.h"
#include "support/CommandFrames.h"

#include <algorithm>
#include <functional>
#include <string>

namespace oskel::test {
namespace {

class CommandSetTest : public CommFixture {
protected:
    void SetUp() override { OpenQuietly(); }
    // Every script here keeps the line in step: no handshake is ever needed.
    void TearDown() override
    {
        for (const auto& frame : line.frames)
            EXPECT_NE(frame.bytes, Bytes{kProbe}) << "unexpected resync";
    }

    // True when `call` failed without writing anything.
    bool FailsWithoutIo(const std::function<int()>& call)
    {
        const size_t before = line.writes.size();
        return call() == 0 && line.writes.size() == before;
    }
};

TEST_F(CommandSetTest, GetReg65ReportsAnythingAboveThreeAsFour)
{
    for (const auto& [camera, expected] : std::vector<std::pair<int32_t, int>>{{7, 4}, {4, 4}, {3, 3}, {0, 0}}) {
        ReplyRegister(line, camera);
        EXPECT_EQ(comm.GetReg65(), expected) << "camera value " << camera;
    }
    EXPECT_EQ(line.frames[0].bytes, GetRegFrame(65));
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetReg65(), -1);
}

TEST_F(CommandSetTest, BoundedSettersSendOnlyTheirRange)
{
    struct Case {
        const char* name;
        uint8_t reg;
        int low;
        int high;
        std::function<int(int)> set;
    };
    const std::vector<Case> cases = {
        {"SetReg3", 3, 100, 125000, [&](int v) { return comm.SetReg3(v); }},
        {"SetReg23", 23, 1, 600, [&](int v) { return comm.SetReg23(v); }},
        {"SetReg24", 24, 1, 600, [&](int v) { return comm.SetReg24(v); }},
        {"SetReg35", 35, 1, 7, [&](int v) { return comm.SetReg35(v); }},
        {"SetReg36", 36, 1, 7, [&](int v) { return comm.SetReg36(v); }},
        {"SetReg38", 38, 1, 600, [&](int v) { return comm.SetReg38(v); }},
        {"SetReg54", 54, 1, 600, [&](int v) { return comm.SetReg54(v); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(FailsWithoutIo([&] { return c.set(c.low - 1); }));
        EXPECT_TRUE(FailsWithoutIo([&] { return c.set(c.high + 1); }));
        for (int v : {c.low, c.high}) {
            line.Reply({kACK});
            EXPECT_TRUE(c.set(v));
            EXPECT_EQ(line.frames.back().bytes, SetRegFrame(c.reg, v));
        }
    }
    // Reg 3 also takes 0.
    line.Reply({kACK});
    EXPECT_TRUE(comm.SetReg3(0));
    EXPECT_EQ(line.frames.back().bytes, SetRegFrame(3, 0));
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.SetReg3(-1); }));
}

TEST_F(CommandSetTest, TextSettersCutLongTexts)
{
    const std::string forty(40, 'A');
    line.Reply({kACK});
    EXPECT_TRUE(comm.SetCameraId(forty.c_str()));
    const Bytes& id = line.frames.back().bytes;
    ASSERT_EQ(id.size(), 40u); // 32 text bytes + 8
    EXPECT_EQ(id[2], 34);
    EXPECT_EQ(id[3], 0);
    EXPECT_EQ(id[4], kCmdSendObject);
    EXPECT_EQ(id[5], text::kCameraId);
    EXPECT_EQ(Bytes(id.begin() + 6, id.begin() + 38), Bytes(32, 'A'));

    const std::string longText(300, 'z');
    line.Reply({kACK});
    EXPECT_TRUE(comm.SetText37(longText.c_str()));
    EXPECT_EQ(line.frames.back().bytes.size(), 256u + 8u);
    EXPECT_EQ(line.frames.back().bytes[5], text::kText37);

    line.Reply({kACK});
    EXPECT_TRUE(comm.SetCameraId("AB"));
    EXPECT_EQ(line.frames.back().bytes, (Bytes{0x1B, 0x43, 0x04, 0x00, 0x03, 22, 'A', 'B', 0x9C, 0x00}));

    EXPECT_TRUE(FailsWithoutIo([&] { return comm.SetCameraId(nullptr); }));
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.SetText37(nullptr); }));
}

TEST_F(CommandSetTest, TextGettersReadIntoTheirFixedSize)
{
    char id[33] = {};
    ReplyLastPacket(line, Bytes(32, 'i'));
    EXPECT_TRUE(comm.GetCameraId(id));
    EXPECT_EQ(line.frames[0].bytes, ReadObjectFrame(text::kCameraId));
    EXPECT_EQ(std::string(id), std::string(32, 'i'));

    // 33 bytes do not fit the 32-byte version text: the packet is refused.
    char version[40] = {};
    for (int i = 0; i < 6; ++i)
        line.Reply(DataPacket(kETX, 0, Bytes(33, 'v')));
    line.Reply({kACK});
    EXPECT_FALSE(comm.GetCameraVersion(version));
    EXPECT_EQ(version[32], 0);

    char model[64] = {};
    ReplyLastPacket(line, Bytes(64, 'm'));
    EXPECT_TRUE(comm.GetModelText(model));
    EXPECT_EQ(line.frames.back().bytes, Bytes{kACK});

    EXPECT_TRUE(FailsWithoutIo([&] { return comm.GetCameraId(nullptr); }));
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.GetText37(nullptr); }));
}

TEST_F(CommandSetTest, ItemOperationsSelectTheItemFirst)
{
    line.Reply({kACK});
    ReplyRegister(line, 1234);
    EXPECT_EQ(comm.GetItemReg12(5), 1234);
    ASSERT_GE(line.frames.size(), 2u);
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(4, 5));
    EXPECT_EQ(line.frames[1].bytes, GetRegFrame(12));

    // A refused selection ends the operation with its failure value.
    line.frames.clear();
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetItemReg39(2), 255);
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetItemReg13(2), 0);
    line.Reply({kCAN});
    EXPECT_FALSE(comm.ActionItem9(2, 3));
    EXPECT_EQ(line.frames.size(), 3u);

    line.frames.clear();
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.ActionItem9(8, 3));
    EXPECT_EQ(line.frames[1].bytes, ActionFrame(9, 3));
}

TEST_F(CommandSetTest, ItemReadToBufferGivesTheByteCount)
{
    uint8_t buffer[100] = {};
    line.Reply({kACK});
    ReplyLastPacket(line, Filled(70));
    EXPECT_EQ(comm.ReadItem14ToBuffer(3, buffer, 100), 70);
    EXPECT_EQ(line.frames[1].bytes, ReadObjectFrame(14));

    line.Reply({kACK});
    line.Reply({kNAK, kNAK, kNAK, kNAK, kNAK, kNAK}); // nothing usable
    EXPECT_EQ(comm.ReadItem15ToBuffer(3, buffer, 100), 0);

    EXPECT_TRUE(FailsWithoutIo([&] { return comm.ReadItem15ToBuffer(3, nullptr, 100); }));
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.ReadItem44ToSink(3, nullptr); }));
}

TEST_F(CommandSetTest, GetItemInfoTakesFourNumbersFromTheInfoObject)
{
    Bytes info(32, 0);
    PutLe32(info.data() + 0, 11);
    PutLe32(info.data() + 4, 22);
    PutLe32(info.data() + 8, 0x01020304);
    PutLe32(info.data() + 12, 99);
    PutLe32(info.data() + 16, static_cast<uint32_t>(-5));
    line.Reply({kACK});
    ReplyLastPacket(line, info);
    int32_t a = 0, b = 0, c = 0, d = 0;
    EXPECT_TRUE(comm.GetItemInfo(1, &a, &b, &c, &d));
    EXPECT_EQ(line.frames[1].bytes, ReadObjectFrame(47));
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 22);
    EXPECT_EQ(c, 0x01020304);
    EXPECT_EQ(d, -5);

    line.Reply({kACK});
    ReplyLastPacket(line, info);
    EXPECT_EQ(comm.GetItemInfoValue3(1), 0x01020304);
}

TEST_F(CommandSetTest, GetItemInfoFailureValues)
{
    int32_t fourth = 7;
    line.Reply({kACK});
    line.Reply({kCAN}); // the transfer is refused
    EXPECT_FALSE(comm.GetItemInfo(1, nullptr, nullptr, nullptr, &fourth));
    EXPECT_EQ(fourth, 255);

    int32_t a = 9, b = 9, c = 9, d = 9;
    line.Reply({kACK});
    line.Reply({kCAN});
    EXPECT_FALSE(comm.GetItemInfo(1, &a, &b, &c, &d));
    EXPECT_EQ((std::vector<int32_t>{a, b, c, d}), (std::vector<int32_t>{0, 0, 0, 255}));

    line.Reply({kACK});
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetItemInfoValue3(1), 0);

    EXPECT_TRUE(FailsWithoutIo([&] { return comm.GetItemInfo(1, nullptr, nullptr, nullptr, nullptr); }));
}

TEST_F(CommandSetTest, RegisterGettersFailWithTheirOwnValues)
{
    const std::vector<std::pair<const char*, std::pair<std::function<int()>, int>>> getters = {
        {"GetReg1", {[&] { return comm.GetReg1(); }, 255}},
        {"GetReg7", {[&] { return comm.GetReg7(); }, 255}},
        {"GetReg3", {[&] { return comm.GetReg3(); }, 0}},
        {"GetReg33", {[&] { return comm.GetReg33(); }, 255}},
        {"GetReg6", {[&] { return comm.GetReg6(); }, 255}},
        {"GetReg16", {[&] { return comm.GetReg16(); }, -1}},
        {"GetReg11", {[&] { return comm.GetReg11(); }, -1}},
        {"GetReg35", {[&] { return comm.GetReg35(); }, 0}},
        {"GetReg36", {[&] { return comm.GetReg36(); }, 0}},
        {"GetProgramCount", {[&] { return comm.GetProgramCount(); }, -1}},
        {"GetFreeMemory(1)", {[&] { return comm.GetFreeMemory(1); }, -1}},
    };
    for (const auto& [name, getter] : getters) {
        line.Reply({kCAN});
        EXPECT_EQ(getter.first(), getter.second) << name;
    }
}

TEST_F(CommandSetTest, RegisterGettersWithAnOutputLeaveItAloneOnFailure)
{
    int32_t value = 42;
    line.Reply({kCAN});
    EXPECT_FALSE(comm.GetReg23(&value));
    EXPECT_EQ(value, 42);
    ReplyRegister(line, 600);
    EXPECT_TRUE(comm.GetReg38(&value));
    EXPECT_EQ(value, 600);
    EXPECT_EQ(line.frames[1].bytes, GetRegFrame(38));
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.GetReg54(nullptr); }));
}

TEST_F(CommandSetTest, ReadProgramInfoDecodesTheRecord)
{
    Bytes wire(72, 0);
    const char name[] = "PROG    FNC";
    std::copy(name, name + 12, wire.begin());
    std::copy_n("KAVRA+~ ", 8, wire.begin() + 12);
    PutLe16(wire.data() + 20, 5);
    PutLe16(wire.data() + 22, 0x1234);
    PutLe16(wire.data() + 24, 1);
    std::fill_n(wire.begin() + 26, 40, ' ');
    PutLe32(wire.data() + 66, 123456);
    PutLe16(wire.data() + 70, 0x0102);
    line.Reply({kACK});
    line.Reply(DataPacket(kSTX, 0, Bytes(wire.begin(), wire.begin() + 40)));
    line.Reply(DataPacket(kETX, 1, Bytes(wire.begin() + 40, wire.end())));
    line.ReplySilence();

    ProgramInfoRecord record;
    EXPECT_TRUE(comm.ReadProgramInfo(2, &record));
    EXPECT_EQ(line.frames[0].bytes, SetRegFrame(56, 2));
    EXPECT_EQ(line.frames[1].bytes, ReadObjectFrame(57));
    EXPECT_STREQ(record.CameraName(), "PROG    FNC");
    EXPECT_EQ(record.Kind(), 5);
    EXPECT_EQ(record.AppId(), 0x1234);
    EXPECT_EQ(record.CopyFlag(), 1);
    EXPECT_EQ(record.StoredSize(), 123456u);
    EXPECT_EQ(record.Version(), 0x0102);
    EXPECT_EQ(record.Signature()[5], '+');
}

TEST_F(CommandSetTest, ReadProgramInfoFailures)
{
    ProgramInfoRecord record;
    EXPECT_TRUE(FailsWithoutIo([&] { return comm.ReadProgramInfo(1, nullptr); }));

    line.Reply({kCAN}); // selection refused: the record is untouched
    record.SetVersion(77);
    EXPECT_FALSE(comm.ReadProgramInfo(1, &record));
    EXPECT_EQ(record.Version(), 77);

    // An empty answer is a successful transfer; nothing of the old record stays.
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.ReadProgramInfo(1, &record));
    EXPECT_EQ(record.Version(), 0);

    // 72 bytes arrived, but the next type byte never came: still a record.
    line.Reply({kACK});
    line.Reply(DataPacket(kSTX, 0, Filled(72)));
    EXPECT_TRUE(comm.ReadProgramInfo(1, &record));
}

TEST_F(CommandSetTest, NoOpTouchesNothing)
{
    EXPECT_TRUE(comm.NoOp());
    EXPECT_TRUE(line.writes.empty());
}

// ---- dirty mark ---------------------------------------------------------

class MarkableComm : public CCameraComm {
public:
    using CCameraComm::CCameraComm;
    void SetMark(int mark) { m_nDirtyMark = mark; }
};

class DirtyMarkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.OpenPort(0));
        ASSERT_TRUE(line.SetBaudRate(19200));
    }
    VirtualTimeSource clock;
    ScriptedLine line{clock};
    MarkableComm comm{line, clock};
};

TEST_F(DirtyMarkTest, ItemCountClampsTheMark)
{
    comm.SetMark(10);
    ReplyRegister(line, 4);
    int out = 0;
    EXPECT_EQ(comm.GetItemCount(&out), 4);
    EXPECT_EQ(comm.DirtyMark(), 4);
    EXPECT_EQ(out, 4);
    EXPECT_EQ(line.frames[0].bytes, GetRegFrame(10));

    comm.SetMark(2);
    ReplyRegister(line, 4);
    EXPECT_EQ(comm.GetItemCount(&out), 4);
    EXPECT_EQ(out, 2);

    comm.SetMark(-3);
    ReplyRegister(line, 4);
    EXPECT_EQ(comm.GetItemCount(&out), 4);
    EXPECT_EQ(out, 0);

    comm.SetMark(6);
    line.Reply({kCAN});
    EXPECT_EQ(comm.GetItemCount(&out), -1);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(comm.DirtyMark(), 6);
}

TEST_F(DirtyMarkTest, Action0LowersTheMarkBelowTheCountReadFirst)
{
    comm.SetMark(10);
    ReplyRegister(line, 4);
    line.Reply({kACK});
    EXPECT_TRUE(comm.Action0());
    EXPECT_EQ(line.frames[0].bytes, GetRegFrame(10));
    EXPECT_EQ(line.frames[2].bytes, ActionFrame(0));
    EXPECT_EQ(comm.DirtyMark(), 3);

    // A failed count read leaves the mark alone; a count of 0 too.
    comm.SetMark(5);
    line.Reply({kCAN});
    line.Reply({kACK});
    EXPECT_TRUE(comm.Action0());
    EXPECT_EQ(comm.DirtyMark(), 5);
    ReplyRegister(line, 0);
    line.Reply({kACK});
    EXPECT_TRUE(comm.Action0());
    EXPECT_EQ(comm.DirtyMark(), 0); // clamped by the count read itself
}

TEST_F(DirtyMarkTest, Action1AndItemAction7)
{
    comm.SetMark(10);
    line.Reply({kACK});
    EXPECT_TRUE(comm.Action1());
    EXPECT_EQ(comm.DirtyMark(), 0);
    EXPECT_EQ(line.frames[0].bytes, ActionFrame(1));

    comm.SetMark(10);
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.ActionItem7(5));
    EXPECT_EQ(line.frames[1].bytes, SetRegFrame(4, 5));
    EXPECT_EQ(line.frames[2].bytes, ActionFrame(7));
    EXPECT_EQ(comm.DirtyMark(), 4);

    comm.SetMark(2);
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.ActionItem7(5));
    EXPECT_EQ(comm.DirtyMark(), 2);

    comm.SetMark(2);
    line.Reply({kACK});
    line.Reply({kACK});
    EXPECT_TRUE(comm.ActionItem7(0));
    EXPECT_EQ(comm.DirtyMark(), 0);

    comm.SetMark(9);
    line.Reply({kCAN}); // selection refused: no action, mark unchanged
    EXPECT_FALSE(comm.ActionItem7(3));
    EXPECT_EQ(comm.DirtyMark(), 9);
}

} // namespace
} // namespace oskel::test
