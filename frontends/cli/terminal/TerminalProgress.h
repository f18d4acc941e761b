#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace oskel::cli {

// Where the current file's transfer stands.
struct ProgressFigures {
    int64_t bytesDone = 0;
    int64_t totalBytes = 0;
    int lineSpeed = 0;      // bit/s, 0 when unknown
    uint32_t elapsedMs = 0; // since the file's transfer began
};

// "12.0 KiB of 40.0 KiB  30%  9.8 KiB/s  51% of line  0:03 left": the bytes
// done of the total, the percent, the throughput, its share of what the
// line can carry (10 bits a byte at 8-N-1) and the time left at that rate.
// Figures that cannot be known yet are shown as "--".
std::string FormatProgressFigures(const ProgressFigures& figures);

// "item  figures" in at most `width` characters (code points): the item is
// shortened with "..." first, then the whole line cut. 0: no limit.
std::string FitProgressLine(const std::string& item, const std::string& figures, size_t width);

// The progress display of a transfer on the error stream. On a terminal one
// line is redrawn in place (at most every 100 ms of transfer time, and at
// each new item and the end of a file); otherwise a plain line is written
// at each new item and at every tenth of a file.
//
// A line drawn in place is fitted to the terminal's width (asked at each
// draw, so a resized window is followed): the item's name is shortened
// first ("..."), then the figures are cut, so the line never wraps and no
// debris of a longer line is left behind.
class TerminalProgress {
public:
    // The terminal's width in columns, 0 when unknown (no limit).
    using Columns = std::function<int()>;
    // `columns`: empty asks the error stream's terminal (TIOCGWINSZ).
    TerminalProgress(std::ostream& err, bool terminal, Columns columns = {})
        : m_err(err), m_terminal(terminal), m_columns(std::move(columns))
    {
    }
    ~TerminalProgress() { Finish(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // The item being transferred (the progress window's message).
    void SetItem(const std::string& item);
    void Update(const ProgressFigures& figures);
    // Ends a line drawn in place, so later output starts on a fresh line.
    void Finish();

private:
    void Draw(const std::string& line);

    std::ostream& m_err;
    bool m_terminal;
    Columns m_columns;
    std::string m_item;
    bool m_lineOpen = false;
    bool m_drawn = false;      // something was drawn for the current item
    uint32_t m_lastDrawMs = 0;
    int m_lastTenth = -1;
    size_t m_lastWidth = 0;
};

} // namespace oskel::cli
