#include "transfer/ProgressPlan.h"

#include "transfer/ProgressBarSink.h"

#include <algorithm>

namespace oskel {

int ProgressPlan::PercentOf(int64_t bytes) const
{
    return static_cast<int>(std::min(bytes, m_total) * 100 / m_total);
}

void ProgressPlan::ShareNext(CProgressBarSink& sink, int fileSize)
{
    if (m_total == 0) {
        sink.m_nLow = 0;
        sink.m_nHigh = 100;
        return;
    }
    const int64_t next = m_done + fileSize + kFileWeight;
    sink.m_nLow = PercentOf(m_done);
    sink.m_nHigh = PercentOf(next);
    m_done = next;
}

} // namespace oskel
