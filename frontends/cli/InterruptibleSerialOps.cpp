#include "InterruptibleSerialOps.h"

#include "CliInterrupt.h"

namespace oskel::cli {

int InterruptibleSerialOps::OpenPort(int index)
{
    if (Interrupted())
        return 0;
    const int opened = m_inner.OpenPort(index);
    SetLinkOpen(m_inner.IsPortOpen() != 0);
    return opened;
}

int InterruptibleSerialOps::ClosePort()
{
    const int closed = m_inner.ClosePort();
    SetLinkOpen(m_inner.IsPortOpen() != 0);
    return closed;
}

int InterruptibleSerialOps::Checked(int result)
{
    if (InterruptedAgain() && m_hardStop && !m_stopping) {
        m_stopping = true; // the close below goes through this table too
        m_hardStop();
    }
    return result;
}

void InterruptibleSerialOps::DrainInput()
{
    for (int round = 0; round < 10; ++round) {
        m_inner.ClearBuffers();
        m_inner.DelayCalibrate(20);
        uint32_t waiting = 0;
        if (!m_inner.BytesInBuffer(&waiting) || waiting == 0)
            return;
    }
}

} // namespace oskel::cli
