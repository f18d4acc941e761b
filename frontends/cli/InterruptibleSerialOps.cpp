#include "InterruptibleSerialOps.h"

#include "CliInterrupt.h"

#include <algorithm>

namespace oskel::cli {

int InterruptibleSerialOps::OpenPort(int index)
{
    if (Interrupted())
        return 0;
    const int opened = m_inner.OpenPort(index);
    SetLinkOpen(m_inner.IsPortOpen() != 0);
    std::string device = m_deviceNamer ? m_deviceNamer(opened != 0) : std::string();
    if (opened != 0 || !device.empty()) {
        auto same =
            std::find_if(m_tried.begin(), m_tried.end(), [index](const TriedPort& t) { return t.index == index; });
        if (same == m_tried.end())
            same = m_tried.insert(m_tried.end(), TriedPort{index, {}, false});
        same->device = std::move(device);
        same->opened = opened != 0;
    }
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
