#pragma once

#include "transfer/ProgressSink.h"
#include "ui/ProgressView.h"

#include <cstdint>

namespace oskel {

class TimeSource;

// Win32's MulDiv: a * b / c with a 64-bit intermediate product, rounded to
// the nearest integer (halves away from zero); -1 when c is 0 or the result
// does not fit 32 bits.
int MulDiv(int a, int b, int c);

// A progress sink on a progress bar with the range 0..100. Several
// transfers can share one bar: before each, the caller sets m_nLow and
// m_nHigh to the part of the bar it covers, and Step maps the transfer's own
// percentage into that part. Every Step lets the pending window messages run
// and then reports whether the user asked to cancel (2) or not (0).
class CProgressBarSink : public CProgressSink {
public:
    CProgressBarSink() = default;
    // Puts the bar back to 0 when a bar is attached with reset-on-destroy.
    ~CProgressBarSink() override;
    CProgressBarSink(const CProgressBarSink&) = delete;
    CProgressBarSink& operator=(const CProgressBarSink&) = delete;

    int Begin() override;
    int Step(int percent) override;
    int End() override;
    void Transferred(int64_t sent, int64_t total) override;

    // Attaches the bar (null detaches): sets its range to 0..100 and its
    // position to 0. The bar must outlive the attachment.
    void Attach(ui::IProgressView* bar, bool resetOnDestroy);
    ui::IProgressView* AttachedBar() const { return m_pBar; }

    // Where the elapsed time of the current transfer is read (may be null)
    // and the serial line's speed, both only for the front end's display.
    void SetClock(TimeSource* clock) { m_pClock = clock; }
    void SetLineSpeed(int bitsPerSecond) { m_stats.lineSpeed = bitsPerSecond; }
    const ui::TransferStats& Stats() const { return m_stats; }

    int m_nLow = 0;
    int m_nHigh = 100;
    // Set by the user's Cancel; never cleared.
    int m_bCancelled = 0;

private:
    void SetBar(int pos);

    ui::IProgressView* m_pBar = nullptr;
    bool m_bResetOnDestroy = false;
    TimeSource* m_pClock = nullptr;
    uint32_t m_startTick = 0;
    ui::TransferStats m_stats;
};

} // namespace oskel
