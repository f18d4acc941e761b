// The packet layer: SendPacket with its resends and pacing, and the seven
// exchanges every camera operation is built from.
#include "protocol/CameraComm.h"

#include "protocol/ControlBytes.h"
#include "protocol/Packet.h"
#include "protocol/ProtocolTimings.h"

#include <cstring>

namespace oskel {

// Pacing after a time-out: -1, 0, 1, -1, ...
void CCameraComm::StepPacing()
{
    m_nPacing = m_nPacing >= 1 ? -1 : m_nPacing + 1;
}

int CCameraComm::SendPacket(const uint8_t* packet, int length)
{
    uint32_t written = 0;
    m_pOps->WritePort(packet, length, &written, m_nPacing);
    if (m_bLongTransfer && length > kBigPacketThreshold) {
        m_nPacing = -1;
        WaitMs(kBigPacketPauseMs);
    }
    for (int attempt = 0; attempt < kPacketAttempts; ++attempt) {
        uint8_t answer = 0;
        const bool got = ReadControlByte(&answer) != 0;
        if (got && answer != kLinkLost) {
            if (answer != kNAK && answer != kDC1)
                return answer;
        } else {
            StepPacing();
            if (got && Resync(1) != kResyncOk)
                return 0;
        }
        m_pOps->WritePort(packet, length, &written, m_nPacing);
        WaitMs(kResendPauseMs);
    }
    m_nPacing = -1;
    return 0;
}

int CCameraComm::SetRegister(uint8_t reg, int32_t value)
{
    if (Resync(0) != kResyncOk)
        return 0;
    const int length = BuildSetRegister(SendBuffer(), reg, value);
    return SendPacket(SendBuffer(), length) == kACK ? 1 : 0;
}

int CCameraComm::DoAction(uint8_t code, uint8_t argument)
{
    if (Resync(0) != kResyncOk)
        return 0;
    const int length = BuildAction(SendBuffer(), code, argument);
    if (SendPacket(SendBuffer(), length) != kACK)
        return 0;
    m_bActionPending = 1;
    return 1;
}

int CCameraComm::SetRegisterBytes(uint8_t reg, const uint8_t* bytes, int n)
{
    if (n > kMaxRegisterBytes || n < 0 || (n > 0 && bytes == nullptr))
        return 0;
    Resync(0);
    const int length = BuildRegisterBytes(SendBuffer(), reg, bytes, n);
    return SendPacket(SendBuffer(), length) == kACK ? 1 : 0;
}

int CCameraComm::GetRegister(uint8_t reg, int32_t* value)
{
    Resync(0);
    const int length = BuildGetRegister(SendBuffer(), reg);
    uint8_t* in = ReceiveBuffer();
    for (int attempt = 0; attempt < kPacketAttempts; ++attempt) {
        if (SendPacket(SendBuffer(), length) != kETX)
            return 0;
        bool good = false;
        if (ReadExact(in, 3) && GetLe16(in + 1) == 4 && ReadExact(in + 3, 4)) {
            if (value != nullptr)
                *value = static_cast<int32_t>(GetLe32(in + 3));
            if (ReadExact(in + 7, 2)) {
                good = GetLe16(in + 7) == Checksum(in + 3, 4);
                if (good) {
                    SendControlByte(kACK);
                    return 1;
                }
                SendControlByte(kNAK);
            }
        }
        WaitMs(kRegisterRetryPauseMs);
        PurgeBuffers();
    }
    return 0;
}

// The header of a data packet whose type byte has been read; *length is
// its data length.
int CCameraComm::ReadDataHeader(int* length)
{
    uint8_t header[3];
    *length = 0;
    if (!ReadExact(header, 3))
        return 0;
    *length = GetLe16(header + 1);
    return 1;
}

// The data bytes and the checksum after the header; true when they match.
int CCameraComm::ReadDataBody(uint8_t* data, int length)
{
    if (length > 0 && !ReadExact(data, length))
        return 0;
    uint8_t sum[2];
    return ReadExact(sum, 2) && GetLe16(sum) == Checksum(data, static_cast<size_t>(length)) ? 1 : 0;
}

// The type byte of the camera's next packet, after an accepted one.
int CCameraComm::ReadNextPacketType(int* type, ITransferSink* sink)
{
    uint8_t next = 0;
    if (!ReadControlByte(&next)) {
        if (sink != nullptr)
            sink->Abort();
        return 0;
    }
    *type = next;
    return 1;
}

// After a bad data packet: pause, purge, and NAK it so the camera sends it
// again (its type byte in *type), or after the sixth error in a row cancel
// the transfer with CAN sent as a packet. False when the transfer ends.
int CCameraComm::RejectDataPacket(int* errors, int* type, ITransferSink* sink)
{
    WaitMs(kObjectErrorPauseMs);
    PurgeBuffers();
    if (++*errors >= kObjectErrorLimit) {
        if (sink != nullptr)
            sink->Abort();
        const uint8_t cancel = kCAN;
        SendPacket(&cancel, 1);
        return 0;
    }
    SendControlByte(kNAK);
    return ReadNextPacketType(type, sink);
}

int CCameraComm::ReadObjectToBuffer(uint8_t kind, uint8_t* buffer, int capacity, int* received)
{
    int ignored = 0;
    if (received == nullptr)
        received = &ignored;
    *received = 0;
    Resync(0);
    const int length = BuildObjectCommand(SendBuffer(), kCmdReadObject, kind);
    int t = SendPacket(SendBuffer(), length);
    int errors = 0;
    for (;;) {
        if (t == kACK)
            return 1;
        if (t != kSTX && t != kETX) {
            SendControlByte(kCAN);
            return 0;
        }
        int n = 0;
        bool good = false;
        if (ReadDataHeader(&n)) {
            if (n == 0)
                return 1;
            const int room = buffer != nullptr && capacity > *received ? capacity - *received : 0;
            good = n <= room && ReadDataBody(buffer + *received, n);
        }
        if (!good) {
            if (!RejectDataPacket(&errors, &t, nullptr))
                return 0;
            continue;
        }
        *received += n;
        SendControlByte(kACK);
        if (t == kETX)
            return 1;
        errors = 0;
        if (!ReadNextPacketType(&t, nullptr))
            return 0;
    }
}

int CCameraComm::ReadObjectToSink(uint8_t kind, ITransferSink* sink)
{
    if (sink == nullptr || !sink->Begin())
        return 0;
    auto cancel = [&]() {
        SendControlByte(kCAN);
        sink->Abort();
        return 0;
    };
    Resync(0);
    const int length = BuildObjectCommand(SendBuffer(), kCmdReadObject, kind);
    int t = SendPacket(SendBuffer(), length);
    int errors = 0;
    // Read at the start of the send buffer: a full 4096-byte packet fits.
    uint8_t* data = SendBuffer();
    for (;;) {
        if (t == kACK) {
            sink->Finish();
            return 1;
        }
        if (t != kSTX && t != kETX)
            return cancel();
        int n = 0;
        const bool good = ReadDataHeader(&n) && n <= kPacketBufferSize && ReadDataBody(data, n);
        if (!good) {
            if (!RejectDataPacket(&errors, &t, sink))
                return 0;
            continue;
        }
        errors = 0;
        if (t == kETX) {
            SendControlByte(kACK);
            if (!sink->Put(data, n))
                return cancel();
            sink->Finish();
            return 1;
        }
        if (!sink->Put(data, n))
            return cancel();
        SendControlByte(kACK);
        if (!ReadNextPacketType(&t, sink))
            return 0;
    }
}

int CCameraComm::SendObject(uint8_t kind, ITransferSource* source, int prefixLength, const uint8_t* prefix)
{
    if (source == nullptr || !source->Begin())
        return 0;
    auto end = [&](int result) {
        source->End();
        return result;
    };
    if (Resync(0) != kResyncOk)
        return end(0);
    bool announced = false;
    if (prefixLength > 0) {
        announced = SetRegisterBytes(kind, prefix, prefixLength) != 0;
    } else {
        const int length = BuildObjectCommand(SendBuffer(), kCmdSendObject, kind);
        announced = SendPacket(SendBuffer(), length) == kACK;
    }
    if (!announced)
        return end(0);
    uint8_t sequence = 0;
    bool last = false;
    int pieceSize = kFirstPieceSize;
    uint8_t* out = SendBuffer();
    while (!last) {
        int status = 0;
        int count = source->Read(out + kDataHeaderSize, pieceSize, &status);
        if (status == -1 || count < 0 || count > pieceSize)
            return end(0);
        pieceSize = kLaterPieceSize;
        if (count == 0 || status != 0)
            last = true;
        const int length = FrameData(out, last ? kETX : kSTX, sequence++, count);
        if (SendPacket(out, length) != kACK)
            return end(0);
        source->Acknowledged();
    }
    return end(1);
}

} // namespace oskel
