// The window position read back from the settings file ("AppPosition"), and
// the folder label shortened to a width: any settings text, any path, any
// limit and font. A position read is usable (no empty side, edges within
// range, written back it reads the same, moved onto a screen it keeps its
// size); a shortened path is made of the path's own beginning and end
// around "...".
#include "FuzzCheck.h"

#include "app/FitPathToWidth.h"
#include "app/SettingsStore.h"
#include "app/WindowPosition.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace oskel;

const std::string& SettingsPath()
{
    static const std::string path = "/tmp/oskel-fuzz-position-" + std::to_string(getpid()) + ".ini";
    return path;
}

void CheckPosition(const ui::Rect& rect, int showState, FuzzedDataProvider& in)
{
    const int64_t width = int64_t{rect.right} - rect.left;
    const int64_t height = int64_t{rect.bottom} - rect.top;
    FUZZ_CHECK(width != 0 && height != 0);
    ui::Rect again;
    int showAgain = 0;
    FUZZ_CHECK(ParseWindowPosition(FormatWindowPosition(rect, showState), &again, &showAgain));
    FUZZ_CHECK(again == rect && showAgain == showState);

    ui::Rect screen;
    screen.left = in.ConsumeIntegralInRange(-4000, 4000);
    screen.top = in.ConsumeIntegralInRange(-4000, 4000);
    screen.right = screen.left + in.ConsumeIntegralInRange(1, 8000);
    screen.bottom = screen.top + in.ConsumeIntegralInRange(1, 8000);
    ui::Rect moved = rect;
    ClampRectToScreen(&moved, screen);
    if (width > 0 && height > 0 && width <= screen.Width() && height <= screen.Height()) {
        FUZZ_CHECK(moved.Width() == width && moved.Height() == height);
        FUZZ_CHECK(moved.left >= screen.left && moved.right <= screen.right);
        FUZZ_CHECK(moved.top >= screen.top && moved.bottom <= screen.bottom);
    }
}

// path itself, or a beginning of it, "...", and an end of it.
bool IsShortenedFrom(const std::string& result, std::string_view path)
{
    if (result == path)
        return true;
    for (size_t dots = result.find("..."); dots != std::string::npos; dots = result.find("...", dots + 1)) {
        const std::string_view head(result.data(), dots);
        const std::string_view tail(result.data() + dots + 3, result.size() - dots - 3);
        if (head.size() + tail.size() <= path.size() && path.starts_with(head) && path.ends_with(tail))
            return true;
    }
    return false;
}

void CheckFitPath(FuzzedDataProvider& in)
{
    const std::string path = in.ConsumeRandomLengthString(300);
    const int limit = in.ConsumeIntegralInRange(-10, 400);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    const int charWidth = in.ConsumeIntegralInRange(1, 12);
    TextMeasure measure;
    if (mode == 1) // a fixed-width font
        measure = [charWidth](std::string_view text) { return static_cast<int>(CountCharacters(text)) * charWidth; };
    else if (mode == 2) // wider bytes count wider
        measure = [charWidth](std::string_view text) {
            int width = 0;
            for (unsigned char c : text)
                width += 1 + (c % static_cast<unsigned>(charWidth));
            return width;
        };
    const size_t characters = CountCharacters(path);
    FUZZ_CHECK(characters <= path.size());
    const std::string result = FitPathToWidth(path, limit, measure);
    FUZZ_CHECK(IsShortenedFrom(result, path));
    if (characters <= 3)
        FUZZ_CHECK(result == path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CheckFitPath(in);

    const std::string value = in.ConsumeRandomLengthString(400);
    ui::Rect rect;
    int showState = 0;
    if (ParseWindowPosition(value, &rect, &showState))
        CheckPosition(rect, showState, in);

    // The same through the settings file, as the main dialog reads it.
    const std::string text = in.ConsumeRemainingBytesAsString();
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << text;
    CSettingsStore settings(SettingsPath());
    if (LoadWindowPosition(settings, "UploadDialog", "AppPosition", &rect, &showState))
        CheckPosition(rect, showState, in);
    return 0;
}
