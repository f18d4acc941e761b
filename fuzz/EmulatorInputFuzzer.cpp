// The emulator's input side: CameraEngine fed whatever a PC might put on
// the line, byte by byte at the PC's speed and framing, with well-formed
// packets (checksums right or wrong) mixed in so the fuzzer reaches the
// commands, object transfers and uploads behind the framing. Properties: the
// camera's output leaves in time order and never ahead of the time asked
// for, and its program memory never holds more than its capacity.
#include "FuzzCheck.h"

#include "emulator/CameraEngine.h"
#include "emulator/SamplePrograms.h"
#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {

using oskel::emulator::CameraEngine;
using oskel::emulator::LineFormat;
using Bytes = std::vector<uint8_t>;

constexpr int kSpeeds[] = {9600, 19200, 38400, 57600, 115200, 230400};
constexpr uint8_t kControls[] = {oskel::kACK, oskel::kNAK, oskel::kCAN, oskel::kDC1,
                                 oskel::kENQ, oskel::kProbe, oskel::kLinkLost};

class Driver {
public:
    explicit Driver(CameraEngine& camera) : m_camera(camera) {}

    void Send(const Bytes& bytes)
    {
        // Each byte arrives when its last bit has: start, data, parity, stop.
        const uint64_t bits = 1u + static_cast<uint64_t>(m_pc.dataBits) + (m_pc.parity != LineFormat::kNone ? 1u : 0u) +
                              static_cast<uint64_t>(m_pc.stopBits);
        for (uint8_t b : bytes) {
            m_nowUs += bits * 1000000u / static_cast<uint64_t>(m_pc.bps);
            m_camera.ReceiveFromLine(m_nowUs, b, m_pc);
        }
        Collect();
    }

    void Wait(uint64_t us)
    {
        m_nowUs += us;
        m_camera.AdvanceTo(m_nowUs);
        Collect();
    }

    void SetFormat(const LineFormat& pc)
    {
        m_pc = pc;
        m_camera.SetPeerFormat(pc);
    }

    void Drop()
    {
        m_camera.LineDropped(m_nowUs);
        Collect();
    }

private:
    void Collect()
    {
        m_camera.AdvanceTo(m_nowUs);
        for (const oskel::emulator::TimedByte& b : m_camera.TakeOutput(m_nowUs)) {
            FUZZ_CHECK(b.atUs <= m_nowUs);
            FUZZ_CHECK(b.atUs >= m_lastOutUs);
            m_lastOutUs = b.atUs;
        }
        FUZZ_CHECK(m_camera.Programs().Used() <= m_camera.Programs().Capacity());
    }

    CameraEngine& m_camera;
    LineFormat m_pc = LineFormat::Raw8N1(19200);
    uint64_t m_nowUs = 0;
    uint64_t m_lastOutUs = 0;
};

Bytes CommandPacket(FuzzedDataProvider& in)
{
    const uint8_t letter = in.ConsumeIntegralInRange(0, 7) == 0 ? oskel::kSpeedLetter : oskel::kCommandLetter;
    const int length = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 16) : in.ConsumeIntegralInRange(0, 2200);
    Bytes packet(static_cast<size_t>(length) + 6);
    const Bytes payload = in.ConsumeBytes<uint8_t>(static_cast<size_t>(length));
    std::copy(payload.begin(), payload.end(), packet.begin() + 4);
    if (length > 0)
        packet[4] = static_cast<uint8_t>(in.ConsumeIntegralInRange(0, 5)); // mostly a known command code
    oskel::FrameCommand(packet.data(), letter, length);
    if (in.ConsumeIntegralInRange(0, 7) == 0)
        packet.back() ^= 0x01;
    return packet;
}

Bytes DataPacket(FuzzedDataProvider& in, uint8_t* sequence)
{
    const uint8_t type = in.ConsumeBool() ? oskel::kETX : oskel::kSTX;
    const int length = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 140) : in.ConsumeIntegralInRange(0, 4200);
    Bytes packet(static_cast<size_t>(length) + 6);
    const Bytes data = in.ConsumeBytes<uint8_t>(static_cast<size_t>(length));
    std::copy(data.begin(), data.end(), packet.begin() + 4);
    // A program header often enough that an upload can be stored.
    if (in.ConsumeIntegralInRange(0, 3) == 0 && length >= 120) {
        oskel::emulator::SampleProgram sample;
        sample.size = 120;
        const Bytes header = oskel::emulator::MakeProgramFile(sample);
        std::copy(header.begin(), header.end(), packet.begin() + 4);
    }
    const uint8_t seq = in.ConsumeIntegralInRange(0, 3) == 0 ? in.ConsumeIntegral<uint8_t>() : (*sequence)++;
    oskel::FrameData(packet.data(), type, seq, length);
    if (in.ConsumeIntegralInRange(0, 7) == 0)
        packet.back() ^= 0x01;
    return packet;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    oskel::emulator::CameraConfig config;
    config.capacityBytes = in.ConsumeIntegralInRange<uint32_t>(0, 600000);
    config.itemCount = in.ConsumeIntegralInRange(0, 5);
    config.objectPacketSize = in.ConsumeIntegralInRange(1, 4096);
    if (in.ConsumeBool())
        config.modelText = "SR52 family four";
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
        oskel::emulator::SampleProgram sample;
        sample.signature = config.modelText.starts_with("SR52") ? "KAVRA~" : "KAVRA+~";
        sample.size = in.ConsumeIntegralInRange<size_t>(100, 3000);
        oskel::emulator::StoredProgram program;
        program.name = {'P', 'R', 'O', 'G', static_cast<uint8_t>('0' + n), ' ', ' ', ' ', 'F', 'N', 'C', 0};
        program.data = oskel::emulator::MakeProgramFile(sample);
        config.programs.push_back(program);
    }
    CameraEngine camera(config);
    if (in.ConsumeIntegralInRange(0, 3) == 0)
        camera.Faults().SetRandom(in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegralInRange(0, 1000));

    Driver line(camera);
    uint8_t sequence = 0;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 8)) {
        case 0:
            line.Send({in.ConsumeIntegral<uint8_t>()});
            break;
        case 1:
        case 2:
            line.Send(CommandPacket(in));
            sequence = 0;
            break;
        case 3:
            line.Send(DataPacket(in, &sequence));
            break;
        case 4:
            line.Send({in.PickValueInArray(kControls)});
            break;
        case 5:
            line.Wait(in.ConsumeBool() ? in.ConsumeIntegralInRange<uint64_t>(0, 50000)
                                       : in.ConsumeIntegralInRange<uint64_t>(0, 10000000));
            break;
        case 6: {
            LineFormat pc = LineFormat::Raw8N1(in.PickValueInArray(kSpeeds));
            if (in.ConsumeIntegralInRange(0, 3) == 0) {
                pc.dataBits = in.ConsumeIntegralInRange(5, 8);
                pc.parity = static_cast<LineFormat::Parity>(in.ConsumeIntegralInRange(0, 2));
                pc.stopBits = in.ConsumeIntegralInRange(1, 2);
            }
            line.SetFormat(pc);
            break;
        }
        case 7:
            line.Send({oskel::kProbe});
            break;
        default:
            line.Drop();
            break;
        }
    }
    line.Wait(60000000); // every timer runs out
    return 0;
}
