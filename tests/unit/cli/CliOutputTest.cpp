// What the terminal front end shows: the progress figures, JSON strings
// and the name rules of upload and remove.
#include "report/JsonWriter.h"
#include "commands/NameMatch.h"
#include "terminal/TerminalProgress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace oskel::cli {
namespace {

TEST(ProgressFigures, RateShareOfLineAndTimeLeft)
{
    // 20 KiB in 2 s = 10 KiB/s = 102400 bit/s of 115200: 89 %; 20 KiB left: 2 s.
    EXPECT_EQ(FormatProgressFigures({20480, 40960, 115200, 2000}),
              "20.0 KiB of 40.0 KiB  50%  10.0 KiB/s  89% of line  0:02 left");
    EXPECT_EQ(FormatProgressFigures({0, 40960, 115200, 0}), "0.0 KiB of 40.0 KiB  0%  -- KiB/s  --% of line  -- left");
    EXPECT_EQ(FormatProgressFigures({2048, 40960, 115200, 499}),
              "2.0 KiB of 40.0 KiB  5%  -- KiB/s  --% of line  -- left")
        << "the first half second reads ahead of the line";
    EXPECT_EQ(FormatProgressFigures({1024, 1024 * 1024 * 8, 0, 1000}),
              "1.0 KiB of 8192.0 KiB  0%  1.0 KiB/s  --% of line  2:16:31 left");
}

TEST(TerminalProgressDisplay, RedrawsInPlaceOnATerminalAndWritesTenthsOtherwise)
{
    std::ostringstream tty;
    {
        TerminalProgress progress(tty, true);
        progress.SetItem("Item A");
        progress.Update({100, 1000, 0, 10});
        progress.Update({200, 1000, 0, 50}); // within 100 ms: not drawn
        progress.Update({1000, 1000, 0, 60}); // the end is always drawn
    }
    const std::string text = tty.str();
    EXPECT_EQ(text.rfind('\n'), text.size() - 1) << "the line is ended";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2) << text;
    EXPECT_EQ(text.find("0.2 KiB"), std::string::npos) << text;

    std::ostringstream log;
    TerminalProgress lines(log, false);
    lines.SetItem("Item B");
    for (int done = 0; done <= 1000; done += 50)
        lines.Update({done, 1000, 19200, 100});
    const std::string out = log.str();
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 12) << out; // the item and 11 tenths
}

// At 40 columns (and 20, and 8) no drawn line reaches the last column, so
// nothing wraps and no debris stays; the item is shortened before the figures.
TEST(TerminalProgressDisplay, TheLineIsFittedToTheTerminalWidth)
{
    for (const int columns : {40, 20, 8}) {
        std::ostringstream tty;
        {
            TerminalProgress progress(tty, true, [columns] { return columns; });
            progress.SetItem("Uploading \"Fr\xC3\xA4me: Classic with a long name\" (1 of 2)");
            for (int done = 0; done <= 60000; done += 6000)
                progress.Update({done, 60000, 115200, static_cast<uint32_t>(done / 10 + 1)});
        }
        std::string segment;
        for (const char c : tty.str()) {
            if (c == '\r' || c == '\n') {
                size_t width = 0;
                for (const char b : segment)
                    width += (static_cast<unsigned char>(b) & 0xC0) != 0x80;
                EXPECT_LT(width, static_cast<size_t>(columns)) << segment;
                segment.clear();
            } else {
                segment += c;
            }
        }
    }
    EXPECT_EQ(FitProgressLine("Uploading \"Frame\"", "1.0 KiB of 2.0 KiB  50%", 42),
              "Uploading \"Frame\"  1.0 KiB of 2.0 KiB  50%");
    EXPECT_EQ(FitProgressLine("Uploading \"Frame: Classic\"", "1.0 KiB of 2.0 KiB  50%", 45),
              "Uploading \"Frame:...  1.0 KiB of 2.0 KiB  50%");
}

TEST(Json, StringsAreEscapedToPlainAscii)
{
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString(std::string("\x01\x7F\xE9", 3)), "\"\\u0001\\u007F\\u00E9\"");
    // Valid UTF-8 by code point; a stray byte, a surrogate or an overlong form as Latin-1 bytes.
    EXPECT_EQ(JsonString("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB7"), "\"Caf\\u00E9 \\u20AC \\uD83D\\uDCF7\"");
    EXPECT_EQ(JsonString("\xC3(\xED\xA0\x80\xC0\xAF"), "\"\\u00C3(\\u00ED\\u00A0\\u0080\\u00C0\\u00AF\"");
    // The camera's texts keep one escape a byte.
    EXPECT_EQ(JsonObject().AddBytes("m", "\xC3\xA9").Text(), "{\"m\":\"\\u00C3\\u00A9\"}");
    EXPECT_EQ(JsonObject().AddName("f", "Caf\xC3\xA9").AddName("g", "Caf\xE9").Text(),
              "{\"f\":\"Caf\\u00E9\",\"g\":\"Caf\\u00E9\",\"gHex\":\"436166E9\"}");
    EXPECT_EQ(JsonObject().Add("n", 5).Add("t", "x").Add("b", false).Text(), "{\"n\":5,\"t\":\"x\",\"b\":false}");
}

class NameRules : public ::testing::Test {
protected:
    bool Match(std::vector<std::string> names)
    {
        chosen.clear();
        error.clear();
        return MatchNames(names, items, "in the camera", "name one by #SLOT", &chosen, &error);
    }
    std::vector<NameCandidate> items{
        {{"Frame Maker   ", "FRAME.ATC", "#2"}, "slot 2", {}},
        {{"Frame Maker", "FRAME2.ATC", "#4"}, "slot 4", {}},
        {{"Clock", "CLOCK.FNC", "#5"}, "slot 5", {}},
        {{"clock", "CLOCK2.FNC", "#6"}, "slot 6", {}},
    };
    std::vector<int> chosen;
    std::string error;
};

TEST_F(NameRules, EachNameChoosesOneItem)
{
    ASSERT_TRUE(Match({"frame2.atc", "#2", "FRAME.ATC", "Clock"})) << error;
    EXPECT_EQ(chosen, (std::vector<int>{0, 1, 2})) << "exact case wins; an item chosen twice counts once";
}

TEST_F(NameRules, ExactBytesComeBeforeTheShownText)
{
    items = {{{"Caf\xE9.fnc"}, "Latin-1", {"Caf\xC3\xA9.fnc"}}, {{"Caf\xC3\xA9.fnc"}, "UTF-8", {"Caf\xC3\xA9.fnc"}}};
    ASSERT_TRUE(Match({"Caf\xC3\xA9.fnc"})) << error;
    EXPECT_EQ(chosen, (std::vector<int>{1}));
    ASSERT_TRUE(Match({"Caf\xE9.fnc"})) << error;
    EXPECT_EQ(chosen, (std::vector<int>{0}));
    EXPECT_FALSE(Match({"CAF\xC3\xA9.FNC"})) << "apart from case, both show that text";
}

TEST_F(NameRules, NothingOrSeveralIsAnErrorNamingTheCandidates)
{
    EXPECT_FALSE(Match({"Frame Maker"}));
    EXPECT_NE(error.find("\"Frame Maker\" names 2 applications in the camera:\n  slot 2\n  slot 4\nname one"),
              std::string::npos)
        << error;
    EXPECT_FALSE(Match({"CLOCK"}));
    EXPECT_NE(error.find("slot 5\n  slot 6"), std::string::npos) << error;
    EXPECT_FALSE(Match({"Clock", "Nope"}));
    EXPECT_NE(error.find("no application in the camera is called \"Nope\"; there are:\n  slot 2"), std::string::npos)
        << error;
    EXPECT_TRUE(chosen.empty());
}

} // namespace
} // namespace oskel::cli
