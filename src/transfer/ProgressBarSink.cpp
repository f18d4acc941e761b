#include "transfer/ProgressBarSink.h"

#include "platform/TimeSource.h"
#include "ui/MessagePump.h"

#include <cstdlib>
#include <limits>

namespace oskel {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t magnitude = std::llabs(product);
    const int64_t divisor = std::llabs(static_cast<int64_t>(c));
    int64_t result = (magnitude + divisor / 2) / divisor;
    if ((product < 0) != (c < 0))
        result = -result;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(result);
}

CProgressBarSink::~CProgressBarSink()
{
    if (m_bResetOnDestroy && m_pBar != nullptr)
        m_pBar->SetBarPos(0);
}

void CProgressBarSink::Attach(ui::IProgressView* bar, bool resetOnDestroy)
{
    m_pBar = bar;
    m_bResetOnDestroy = resetOnDestroy;
    if (m_pBar != nullptr) {
        m_pBar->SetBarRange(0, 100);
        m_pBar->SetBarPos(0);
    }
}

void CProgressBarSink::SetBar(int pos)
{
    if (m_pBar != nullptr)
        m_pBar->SetBarPos(pos);
}

int CProgressBarSink::Begin()
{
    m_startTick = m_pClock != nullptr ? m_pClock->TickCount() : 0;
    m_stats.bytesSent = 0;
    m_stats.totalBytes = 0;
    m_stats.elapsedMs = 0;
    SetBar(m_nLow);
    return 0;
}

void CProgressBarSink::Transferred(int64_t sent, int64_t total)
{
    m_stats.bytesSent = sent;
    m_stats.totalBytes = total;
    if (m_pClock != nullptr)
        m_stats.elapsedMs = TicksSince(*m_pClock, m_startTick);
    if (m_pBar != nullptr)
        m_pBar->SetStats(m_stats);
}

int CProgressBarSink::Step(int percent)
{
    SetBar(m_nLow + MulDiv(m_nHigh - m_nLow, percent, 100));
    // A quit met here stays queued for the main loop; the transfer goes on
    // until it checks its own status.
    ui::CurrentMessagePump().RunPending();
    return m_bCancelled ? 2 : 0;
}

int CProgressBarSink::End()
{
    return 0;
}

} // namespace oskel
