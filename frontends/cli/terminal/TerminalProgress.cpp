#include "terminal/TerminalProgress.h"
#include "terminal/TerminalText.h"

#include "ui/CLocaleText.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>

namespace oskel::cli {
namespace {

constexpr uint32_t kRedrawMs = 100;
// The first figures rest on a packet or two and the pauses around the
// announcement; the rate is shown from this much transfer time on.
constexpr uint32_t kFirstRateMs = 500;
constexpr int kBitsPerByte = 10; // start bit, 8 data bits, stop bit

std::string KiB(double bytes)
{
    return ui::CFormat("%.1f KiB", bytes / 1024.0);
}

std::string Duration(int64_t seconds)
{
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    return text;
}

int Percent(const ProgressFigures& f)
{
    if (f.totalBytes <= 0)
        return 0;
    const int64_t done = f.bytesDone < 0 ? 0 : (f.bytesDone > f.totalBytes ? f.totalBytes : f.bytesDone);
    return static_cast<int>(done * 100 / f.totalBytes);
}

} // namespace

std::string FormatProgressFigures(const ProgressFigures& f)
{
    std::string text = KiB(static_cast<double>(f.bytesDone)) + " of " + KiB(static_cast<double>(f.totalBytes)) +
                       "  " + std::to_string(Percent(f)) + "%";
    if (f.elapsedMs < kFirstRateMs || f.bytesDone <= 0)
        return text + "  -- KiB/s  --% of line  -- left";
    const double bytesPerSecond = static_cast<double>(f.bytesDone) * 1000.0 / f.elapsedMs;
    text += ui::CFormat("  %.1f KiB/s", bytesPerSecond / 1024.0);
    if (f.lineSpeed > 0)
        text += "  " + std::to_string(static_cast<int>(bytesPerSecond * kBitsPerByte * 100.0 / f.lineSpeed + 0.5)) +
                "% of line";
    else
        text += "  --% of line";
    const int64_t left = f.totalBytes > f.bytesDone ? f.totalBytes - f.bytesDone : 0;
    text += "  " + Duration(static_cast<int64_t>(static_cast<double>(left) / bytesPerSecond + 0.999)) + " left";
    return text;
}

namespace {

// The first `count` code points of `text`.
std::string FirstCodePoints(const std::string& text, size_t count)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && n++ == count)
            return text.substr(0, i);
    }
    return text;
}

int StderrColumns()
{
    winsize size{};
    return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

} // namespace

std::string FitProgressLine(const std::string& item, const std::string& figures, size_t width)
{
    const std::string line = item + "  " + figures;
    if (width == 0 || CodePoints(line) <= width)
        return line;
    const size_t room = width > CodePoints(figures) + 2 ? width - CodePoints(figures) - 2 : 0;
    if (room >= 4)
        return FirstCodePoints(item, room - 3) + "...  " + figures;
    return FirstCodePoints(line, width);
}

void TerminalProgress::SetItem(const std::string& item)
{
    if (item == m_item)
        return;
    Finish();
    m_item = item;
    m_drawn = false;
    m_lastTenth = -1;
    if (!m_terminal) {
        m_err << item << '\n';
        m_err.flush();
    }
}

void TerminalProgress::Update(const ProgressFigures& f)
{
    const int percent = Percent(f);
    if (m_terminal) {
        const bool due = !m_drawn || f.elapsedMs - m_lastDrawMs >= kRedrawMs || f.elapsedMs < m_lastDrawMs ||
                         percent == 100;
        if (!due)
            return;
        m_lastDrawMs = f.elapsedMs;
        // One column is kept free: a line filling the last one wraps on some terminals.
        const int columns = m_columns ? m_columns() : StderrColumns();
        Draw(FitProgressLine(m_item, FormatProgressFigures(f), columns > 1 ? static_cast<size_t>(columns - 1) : 0));
        return;
    }
    const int tenth = percent / 10;
    if (tenth == m_lastTenth)
        return;
    m_lastTenth = tenth;
    m_err << "  " << FormatProgressFigures(f) << '\n';
    m_err.flush();
}

void TerminalProgress::Draw(const std::string& line)
{
    const size_t width = CodePoints(line);
    m_err << '\r' << line;
    if (width < m_lastWidth)
        m_err << std::string(m_lastWidth - width, ' ') << '\r' << line;
    m_err.flush();
    m_lastWidth = width;
    m_lineOpen = true;
    m_drawn = true;
}

void TerminalProgress::Finish()
{
    if (m_lineOpen) {
        m_err << '\n';
        m_err.flush();
    }
    m_lineOpen = false;
    m_lastWidth = 0;
}

} // namespace oskel::cli
