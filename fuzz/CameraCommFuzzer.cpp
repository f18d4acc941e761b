// The PC's receive path: CCameraComm exchanges on a scripted line in virtual
// time, every frame the PC sends answered with what the input says: nothing,
// control bytes, raw bytes, or data packets (checksum right or wrong).
// Buffers are allocated at exactly the size the caller promises, so a byte
// written past them is caught; the sink checks its call order.
#include "FuzzCheck.h"

#include "protocol/CameraComm.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "support/MemorySource.h"
#include "support/ScriptedLine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <vector>

namespace {

using oskel::test::Bytes;

constexpr uint8_t kControls[] = {oskel::kSTX, oskel::kETX, oskel::kENQ, oskel::kACK, oskel::kDC1,
                                 oskel::kNAK, oskel::kCAN, oskel::kLinkLost, 0x00, 0x1B};
constexpr int kSpeeds[] = {9600, 19200, 38400, 57600, 115200, 230400, 14400};

Bytes DataPacket(FuzzedDataProvider& in)
{
    const uint8_t type = in.ConsumeBool() ? oskel::kETX : oskel::kSTX;
    const uint8_t sequence = in.ConsumeIntegral<uint8_t>();
    // Mostly small packets; now and then a length near or above the limits.
    const int length = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 80) : in.ConsumeIntegralInRange(0, 4200);
    Bytes packet(static_cast<size_t>(length) + 6);
    const Bytes data = in.ConsumeBytes<uint8_t>(static_cast<size_t>(length));
    std::copy(data.begin(), data.end(), packet.begin() + 4);
    oskel::FrameData(packet.data(), type, sequence, length);
    if (in.ConsumeBool() && in.ConsumeBool())
        packet.back() ^= 0x01; // a bad checksum
    if (in.ConsumeBool() && in.ConsumeBool())
        packet.resize(in.ConsumeIntegralInRange<size_t>(0, packet.size())); // cut short
    return packet;
}

// The camera's answer to one frame from the PC.
Bytes Answer(FuzzedDataProvider& in)
{
    if (in.remaining_bytes() == 0)
        return {};
    Bytes answer;
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        break; // silence
    case 1:
        answer.push_back(in.PickValueInArray(kControls));
        break;
    case 2:
        answer = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 16));
        break;
    case 3:
        answer = DataPacket(in);
        break;
    case 4: // acknowledged, then a data packet
        answer.push_back(oskel::kACK);
        for (uint8_t b : DataPacket(in))
            answer.push_back(b);
        break;
    default: // several control bytes
        for (int n = in.ConsumeIntegralInRange(1, 4); n > 0; --n)
            answer.push_back(in.PickValueInArray(kControls));
        break;
    }
    return answer;
}

// A sink that checks the order of its calls: nothing after Finish or Abort,
// never both, no packet larger than a packet can be.
class CheckingSink final : public oskel::ITransferSink {
public:
    explicit CheckingSink(FuzzedDataProvider& in) : m_in(in) {}
    int Begin() override
    {
        FUZZ_CHECK(!begun);
        begun = true;
        return m_in.ConsumeIntegralInRange(0, 7) != 0 ? 1 : 0;
    }
    int Put(const uint8_t* bytes, int length) override
    {
        FUZZ_CHECK(begun && !finished && !aborted);
        FUZZ_CHECK(length >= 0 && length <= oskel::kPacketBufferSize);
        for (int i = 0; i < length; ++i)
            sum += bytes[i]; // every byte must be readable
        return m_in.ConsumeIntegralInRange(0, 15) != 0 ? 1 : 0;
    }
    int Abort() override
    {
        FUZZ_CHECK(begun && !finished);
        aborted = true;
        return 1;
    }
    int Finish() override
    {
        FUZZ_CHECK(begun && !finished && !aborted);
        finished = true;
        return 1;
    }

    bool begun = false;
    bool finished = false;
    bool aborted = false;
    unsigned sum = 0;

private:
    FuzzedDataProvider& m_in;
};

template <typename Getter>
void ReadText(size_t size, Getter get)
{
    // Exactly the promised size on the heap: one byte more is an overflow.
    std::unique_ptr<char[]> buffer(new char[size]);
    get(buffer.get());
}

void RunOperation(oskel::CCameraComm& comm, oskel::test::ScriptedLine& line, FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 17)) {
    case 0: {
        int32_t value = 0;
        comm.GetRegister(in.ConsumeIntegral<uint8_t>(), &value);
        break;
    }
    case 1:
        comm.SetRegister(in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<int32_t>());
        break;
    case 2: {
        const int capacity = in.ConsumeIntegralInRange(0, 300);
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(capacity)]);
        int received = -1;
        comm.ReadObjectToBuffer(in.ConsumeIntegral<uint8_t>(), buffer.get(), capacity, &received);
        FUZZ_CHECK(received >= 0 && received <= capacity);
        break;
    }
    case 3: {
        CheckingSink sink(in);
        const int ok = comm.ReadObjectToSink(in.ConsumeIntegral<uint8_t>(), &sink);
        FUZZ_CHECK(!(sink.finished && sink.aborted));
        if (ok)
            FUZZ_CHECK(sink.finished);
        break;
    }
    case 4: {
        oskel::test::MemorySource source(Bytes(in.ConsumeIntegralInRange<size_t>(0, 4500), 0x5A));
        const Bytes prefix = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 12));
        comm.SendObject(in.ConsumeIntegral<uint8_t>(), &source, static_cast<int>(prefix.size()), prefix.data());
        break;
    }
    case 5:
        comm.DoAction(in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>());
        break;
    case 6:
        ReadText(64, [&](char* b) { comm.GetModelText(b); });
        break;
    case 7:
        ReadText(32, [&](char* b) { comm.GetCameraId(b); });
        ReadText(256, [&](char* b) { comm.GetText37(b); });
        break;
    case 8: {
        oskel::ProgramInfoRecord record;
        comm.ReadProgramInfo(in.ConsumeIntegralInRange(-2, 10), &record);
        break;
    }
    case 9:
        comm.GetProgramCount();
        comm.GetFreeMemory(in.ConsumeBool() ? 1 : 0);
        break;
    case 10:
        comm.DeleteProgram(in.ConsumeIntegralInRange(0, 10));
        break;
    case 11: {
        oskel::test::MemorySource source(Bytes(in.ConsumeIntegralInRange<size_t>(0, 2300), 0x4B));
        comm.UploadProgram("PROGRAM FNC", &source);
        break;
    }
    case 12:
        comm.WaitReady(in.ConsumeIntegralInRange(0, 3000));
        break;
    case 13:
        if (in.ConsumeBool())
            comm.Open();
        else
            comm.Close();
        break;
    case 14:
        comm.SetSpeed(in.PickValueInArray(kSpeeds));
        break;
    case 15: {
        int32_t a = 0, b = 0, c = 0, d = 0;
        comm.GetItemInfo(in.ConsumeIntegralInRange(-1, 5), &a, &b, &c, &d);
        int dirty = 0;
        comm.GetItemCount(&dirty);
        const int capacity = in.ConsumeIntegralInRange(0, 200);
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(capacity)]);
        const int got = comm.ReadItem14ToBuffer(in.ConsumeIntegralInRange(0, 5), buffer.get(), capacity);
        FUZZ_CHECK(got >= 0 && got <= capacity);
        break;
    }
    case 16: {
        CheckingSink sink(in);
        comm.ReadItem44ToSink(in.ConsumeIntegralInRange(0, 5), &sink);
        FUZZ_CHECK(!(sink.finished && sink.aborted));
        break;
    }
    default:
        line.Inject(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 8))); // stale input
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    oskel::VirtualTimeSource clock;
    oskel::test::ScriptedLine line(clock);
    oskel::CCameraComm comm(line, clock);
    line.SetResponder([&in](const Bytes&) { return Answer(in); });
    comm.SetPort(0);
    // The link as after a handshake: open at 19200, nothing waiting.
    line.OpenPort(0);
    line.SetBaudRate(19200);
    for (int i = 0; i < 12 && in.remaining_bytes() > 0; ++i)
        RunOperation(comm, line, in);
    comm.Close();
    return 0;
}
