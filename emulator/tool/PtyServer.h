#pragma once

#include "emulator/AdapterModel.h"
#include "emulator/CameraEngine.h"
#include "emulator/LineFormat.h"

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>

namespace oskel::emulator {

// Serves a camera engine on a pseudo-terminal in real time. The PC opens the
// terminal's slave side (through a symbolic link) as its serial port; its
// speed and framing are read from the terminal settings it applies. Bytes
// the PC writes reach the camera one wire time apart at the PC's speed; the
// camera's bytes are handed to the PC when their wire time at the camera's
// speed is over, garbled if the PC's port is then set differently.
class PtyServer {
public:
    explicit PtyServer(CameraEngine& camera);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the terminal and the link. A link left over from an earlier
    // run is replaced; any other file at that path is not.
    bool Open(const std::string& link, std::string* error);
    const std::string& SlavePath() const { return m_slave; }
    // Whether the camera drops back to 19200 bit/s and forgets a packet or
    // transfer in progress when the PC closes the port (the default). Off, it
    // carries on as a camera that does not watch the line's control signals:
    // a PC program that dies leaves it where it was.
    void SetResetOnClose(bool reset) { m_resetOnClose = reset; }
    // When the camera's bytes reach the PC (AdapterModel.h). A pseudo-
    // terminal takes every speed, so a port's speed limit is played as a
    // line that carries nothing above it.
    void SetAdapter(const AdapterModel& adapter) { m_adapter = adapter; }

    // Serves until *stop is set. `status` gets a line when the PC opens or
    // closes the port; `turn`, when set, is called once per turn of the
    // loop, after the camera's due events have run.
    void Run(const volatile std::sig_atomic_t* stop, const std::function<void(const std::string&)>& status,
             const std::function<void()>& turn = {});

private:
    uint64_t NowUs() const;
    uint64_t WakeAfterUs(uint64_t nowUs) const;
    LineFormat PcFormat() const;
    void ReadFromPc(uint64_t nowUs);
    void WriteToPc(uint64_t nowUs);
    void RemoveLink();

    CameraEngine& m_camera;
    int m_master = -1;
    std::string m_slave;
    std::string m_link;
    uint64_t m_startNs = 0;
    uint64_t m_pcTxFreeUs = 0;
    bool m_pcOpen = false;
    bool m_resetOnClose = true;
    AdapterModel m_adapter;
};

} // namespace oskel::emulator
