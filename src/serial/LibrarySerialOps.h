#pragma once

#include "platform/LibraryLoader.h"
#include "serial/SerialPortOps.h"

#include <array>
#include <cstdint>

namespace oskel {

// The serial table as the old serial library exports it, called through
// function pointers found by name.
class LibrarySerialOps final : public SerialPortOps {
public:
    using OpenFn = int (*)(int);
    using NoArgFn = int (*)();
    using IntFn = int (*)(int);
    using WriteFn = int (*)(const uint8_t*, int, uint32_t*, int);
    using ReadFn = int (*)(uint8_t*, int, uint32_t*);
    using CountFn = int (*)(uint32_t*);

    static constexpr std::array<const char*, 9> kExportNames = {
        "SerialOpenPort16_b",   "SerialIsPortOpen16_b", "SerialSetBaudRate16_b",
        "SerialClosePort16_b",  "SerialWritePort16_b",  "SerialReadPort16_b",
        "SerialBytesInBuf16_b", "SerialClearBufs16_b",  "SerialDelayCalibrate16_b",
    };

    // Binds every export; false (and nothing usable) when one is missing.
    bool Bind(LibraryLoader& loader, LibraryLoader::Handle library);

    int OpenPort(int index) override;
    int IsPortOpen() override;
    int SetBaudRate(int bps) override;
    int ClosePort() override;
    int WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing) override;
    int ReadPort(uint8_t* buffer, int count, uint32_t* read) override;
    int BytesInBuffer(uint32_t* count) override;
    int ClearBuffers() override;
    int DelayCalibrate(int ms) override;

private:
    std::array<void*, 9> m_exports{};
};

} // namespace oskel
