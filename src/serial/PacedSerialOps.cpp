#include "serial/PacedSerialOps.h"

#include "serial/SerialTimeouts.h"

namespace oskel {

int PacedSerialOps::WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    uint32_t ignored = 0;
    if (written == nullptr)
        written = &ignored;
    *written = 0;
    if (!IsPortOpen() || bytes == nullptr || count < 0)
        return 0;
    // The whole packet at raised priority, paced first bytes and body alike:
    // a thread held up between its pieces for a tenth of a second makes the
    // camera drop the packet.
    m_packetBoost.emplace(m_priority);
    m_boostBudgetUs = WireTimeUs(LineSpeed(), count) + kBoostAllowanceUs;
    const int result = WritePacket(bytes, count, written, pacing);
    m_packetBoost.reset();
    return result;
}

void PacedSerialOps::BeforeSleep(uint64_t sleepUs)
{
    if (!m_packetBoost)
        return;
    if (sleepUs > m_boostBudgetUs) {
        m_packetBoost.reset();
        return;
    }
    m_boostBudgetUs -= sleepUs;
}

int PacedSerialOps::WritePacket(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    if (pacing >= 0)
        return WriteByteByByte(bytes, count, written, pacing);
    if (count >= kSplitThreshold)
        return WriteSplit(bytes, count, written);
    return WriteChunk(bytes, count, written) ? 1 : 0;
}

// A packet's first byte and its next three header bytes reach the camera
// ahead of the body, each followed by a pause of about 1 ms.
int PacedSerialOps::WriteSplit(const uint8_t* bytes, int count, uint32_t* written)
{
    const int pieces[3] = {1, 3, count - 4};
    int offset = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            BeforeSleep(1000);
            m_time.Spin(static_cast<uint32_t>(m_spinPerMs));
        }
        uint32_t moved = 0;
        const bool ok = WriteChunk(bytes + offset, pieces[i], &moved);
        *written += moved;
        if (!ok)
            return 0;
        offset += pieces[i];
    }
    return 1;
}

int PacedSerialOps::WriteByteByByte(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    for (int i = 0; i < count; ++i) {
        if (pacing > 0) {
            BeforeSleep(static_cast<uint64_t>(pacing) * 2000u);
            m_time.Spin(static_cast<uint32_t>(pacing) * 2u * static_cast<uint32_t>(m_spinPerMs));
        }
        uint32_t moved = 0;
        const bool ok = WriteChunk(bytes + i, 1, &moved);
        *written += moved;
        if (!ok)
            return 0;
    }
    return 1;
}

int PacedSerialOps::DelayCalibrate(int ms)
{
    const uint32_t start = m_time.TickCount();
    const uint32_t wanted = ms < 0 ? 0u : static_cast<uint32_t>(ms);
    if (wanted > kCalibrateAboveMs)
        Calibrate();
    const uint32_t elapsed = m_time.TickCount() - start;
    if (elapsed < wanted)
        m_time.WaitMs(wanted - elapsed);
    return 1;
}

void PacedSerialOps::Calibrate()
{
    ScopedPriorityBoost boost(m_priority);
    uint32_t begin = m_time.TickCount();
    m_time.Spin(kCalibrationIterations / 10);
    uint32_t elapsed = m_time.TickCount() - begin;
    if (elapsed > 50) {
        m_spinPerMs = static_cast<int>(static_cast<uint32_t>(kCalibrationIterations) / elapsed / 10u);
        return;
    }
    begin = m_time.TickCount();
    m_time.Spin(kCalibrationIterations);
    elapsed = m_time.TickCount() - begin;
    m_spinPerMs = elapsed == 0 ? kCalibrationIterations
                               : static_cast<int>(static_cast<uint32_t>(kCalibrationIterations) / elapsed);
}

} // namespace oskel
