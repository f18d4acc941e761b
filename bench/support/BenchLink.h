#pragma once

#include "LineEvent.h"
#include "RecordingSerialOps.h"
#include "platform/RealTimeSource.h"
#include "platform/ThreadPriority.h"
#include "protocol/CameraComm.h"
#include "serial/TermiosSerialOps.h"

#include <string>

namespace oskel::bench {

// The real termios port opened on one device (every port index opens it),
// the recorder around it, and a camera communication object on top: the
// program's own stack with a log of what crossed the line.
class BenchLink {
public:
    explicit BenchLink(const std::string& device);

    CCameraComm& Comm() { return m_comm; }
    const LineLog& Log() const { return m_log; }

    // Opens the link at bps without recording it.
    bool Open(int bps);
    // Forgets what was recorded and records from now on.
    void StartRecording();
    void StopRecording();

private:
    TermiosSerialOps m_port;
    LineLog m_log;
    RecordingSerialOps m_line;
    RecordingTimeSource m_time;
    CCameraComm m_comm;
};

// A program file read piece by piece from disk, ending with the first
// short piece, as the upload reads it.
class FileSource final : public ITransferSource {
public:
    explicit FileSource(std::string path) : m_path(std::move(path)) {}
    ~FileSource() override;
    int Begin() override;
    int Read(uint8_t* destination, int maximum, int* status) override;
    int End() override;

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace oskel::bench
