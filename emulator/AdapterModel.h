#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace oskel::emulator {

// What stands between the camera's cable and the PC's serial driver, and so
// when the camera's bytes reach the PC:
// - "pty": nothing; a byte is there when its stop bit has passed.
// - "ftdi[:TIMER_MS]": an FTDI chip (ftdi_sio). Received bytes wait in the
//   chip until the next tick of its free-running latency timer (16 ms by
//   default, 1 ms once the driver's low-latency mode has set it), or leave
//   at once when 62 are waiting (a full USB packet).
// - "cp210x", "ch341", "pl2303": no timer; the bytes leave in USB transfers
//   of the chip's size (64, 32 and 64 bytes), one per 1 ms USB frame, the
//   first at the frame after its first byte arrived.
// - "uart16550": a built-in port with a 1.8432 MHz clock: no delay, and no
//   speed above 115200 bit/s (the driver refuses it).
// Bytes toward the camera, the USB side's own errors and the chips' FIFO
// sizes are not modelled.
class AdapterModel {
public:
    struct Due {
        uint64_t atUs;
        uint8_t value;
    };

    // "pty", "ftdi", "ftdi:1", "cp210x", ...; nullopt with *error set when
    // the text names no model.
    static std::optional<AdapterModel> Parse(const std::string& text, std::string* error);
    static AdapterModel Pty() { return AdapterModel(); }

    const std::string& Name() const { return m_name; }
    // The fastest speed the PC's port takes, 0 for no limit.
    int MaxBps() const { return m_maxBps; }
    // The latency timer the driver would report, -1 for none.
    int LatencyTimerMs() const { return m_timerUs > 0 ? static_cast<int>(m_timerUs / 1000) : -1; }
    bool Usb() const { return m_timerUs > 0 || m_transferBytes > 0; }

    // A byte whose stop bit passed at atUs (in order of time).
    void Arrive(uint64_t atUs, uint8_t value);
    // The bytes that have reached the PC by nowUs, each with its moment.
    std::vector<Due> TakeDue(uint64_t nowUs);
    // When the next byte held in the adapter reaches the PC, UINT64_MAX when
    // none is held.
    uint64_t NextReleaseUs() const;
    // Forgets what is held (the port closed).
    void Clear() { m_held.clear(); }

private:
    struct Held {
        uint64_t atUs;
        uint8_t value;
    };
    // When the first held bytes leave, and how many of them.
    uint64_t Release(size_t* count) const;

    std::string m_name = "pty";
    int m_maxBps = 0;
    uint64_t m_timerUs = 0;      // ftdi: the latency timer's period
    size_t m_packetBytes = 0;    // ftdi: a full packet leaves at once
    size_t m_transferBytes = 0;  // cp210x and the like: bytes per 1 ms frame
    std::deque<Held> m_held;
    uint64_t m_lastTransferUs = 0;
    bool m_transferred = false;
};

} // namespace oskel::emulator
