#pragma once

#include <cstdint>

namespace oskel {

class CProgressBarSink;

// Shares one progress bar out among the files of an upload run: each file
// weighs its size plus kFileWeight, and covers that part of the bar.
//
// The sums are kept in 64 bits, so `bytes x 100` cannot overflow however
// large the selection (32-bit sums overflow past about 21 million bytes);
// the shares equal the 32-bit ones wherever those did not overflow. A file
// beyond the plan (a host that had to be sent again for a second attachment,
// or an older host replaced) gets the rest of the bar, so the bar never goes
// past 100 nor backwards.
class ProgressPlan {
public:
    static constexpr int kFileWeight = 10240;

    void Add(int fileSize) { m_total += static_cast<int64_t>(fileSize) + kFileWeight; }
    int64_t Total() const { return m_total; }
    int64_t Done() const { return m_done; }

    // Sets sink.m_nLow / m_nHigh to the next file's part of the bar and
    // counts the file as done (a skipped or failed file keeps its share).
    void ShareNext(CProgressBarSink& sink, int fileSize);

private:
    int PercentOf(int64_t bytes) const;

    int64_t m_total = 0;
    int64_t m_done = 0;
};

} // namespace oskel
