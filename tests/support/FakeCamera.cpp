#include "support/FakeCamera.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/SpeedCodes.h"
#include "support/CameraBytes.h"

namespace oskel::test {

FakeCamera::FakeCamera(ScriptedLine& line, int cameraPort) : port(cameraPort), m_line(line)
{
    registers[1] = 1;
    registers[16] = 80;
    texts[27] = "SR82 emulated";
    line.SetResponder([this](const Bytes& frame) { return Answer(frame); });
}

Bytes FakeCamera::Answer(const Bytes& frame)
{
    if (!present || m_line.lastOpenedPort() != port)
        return {};
    if (frame == Bytes{kProbe}) {
        // The camera listens for the probe at 19200 whatever it was on.
        if (m_line.speed() != kProbeSpeed)
            return {};
        speed = kProbeSpeed;
        return {kNAK};
    }
    if (m_line.speed() != speed)
        return {}; // garbled on the way: no answer
    if (frame.size() < 6 || frame[0] != kESC)
        return {};
    if (frame[1] == kSpeedLetter) {
        const int code = frame[6];
        const int bps = code == 0 ? kProbeSpeed : SpeedForCode(code);
        if (bps == 0 || bps > fastest)
            return {};
        speed = bps;
        ++speedChanges;
        return {kACK};
    }
    const uint8_t command = frame[4];
    const uint8_t number = frame[5];
    switch (command) {
    case kCmdSetRegister:
        registers[number] = static_cast<int32_t>(GetLe32(frame.data() + 6));
        return {kACK};
    case kCmdGetRegister: {
        auto it = registers.find(number);
        return it == registers.end() ? Bytes{kCAN} : RegisterReply(it->second);
    }
    case kCmdReadObject: {
        auto it = texts.find(number);
        if (it == texts.end())
            return {kACK};
        return DataPacket(kETX, 0, Bytes(it->second.begin(), it->second.end()));
    }
    default:
        return {kACK};
    }
}

} // namespace oskel::test
