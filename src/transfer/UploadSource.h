#pragma once

#include "protocol/TransferInterfaces.h"

#include <cstdint>
#include <string>

namespace oskel {

class CProgressSink;

// One program file as the data source of an upload, reporting each piece
// read to a progress sink (the bar's percent) and each piece the camera
// acknowledged (the bytes sent, for the rate and time left). The first non-zero status sticks: 2 when the sink
// asked to stop (the user's Cancel), 3 when the file cannot be opened or
// read, 7 when it cannot be closed.
//
// The file must still be exactly the `totalBytes` long that the folder scan
// found: a file that vanished, shrank or grew since then is not sent (status
// 3), so the camera never gets a short or different program than the one
// whose size passed the memory check.
class UploadSource final : public ITransferSource {
public:
    // `sink` may be null; it must outlive the source.
    UploadSource(std::string path, CProgressSink* sink);
    ~UploadSource() override;
    UploadSource(const UploadSource&) = delete;
    UploadSource& operator=(const UploadSource&) = delete;

    int Begin() override;
    int Read(uint8_t* destination, int maximum, int* status) override;
    int End() override;
    // Tells the sink the bytes the camera has acknowledged so far.
    void Acknowledged() override;

    void SetTotalBytes(int size) { m_totalBytes = size; }
    int Status() const { return m_status; }
    int DoneBytes() const { return m_doneBytes; }

private:
    void Fail(int status);
    // Reads up to maximum bytes, fewer only at the end of the file; -1 on an error.
    long ReadUpTo(uint8_t* destination, int maximum);
    int Percent() const;

    std::string m_strPath;
    int m_fd = -1; // the open file
    int m_status = 0;
    CProgressSink* m_pSink;
    int m_totalBytes = 0;
    int m_doneBytes = 0;
};

} // namespace oskel
