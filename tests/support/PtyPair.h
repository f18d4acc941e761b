#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::test {

// A pseudo-terminal pair: the test plays the camera on the master side,
// the code under test opens the slave as its serial port.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master; }

    void Write(const std::vector<uint8_t>& bytes);
    // Reads what arrives within timeoutMs (stops early once `want` bytes came).
    std::vector<uint8_t> Read(size_t want, int timeoutMs);
    // Closes the master: the slave side sees the device go away.
    void CloseMaster();

private:
    int m_master = -1;
    int m_slaveKeeper = -1; // keeps the slave alive between opens
    std::string m_slavePath;
};

} // namespace oskel::test
