#include "CliOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oskel::cli {
namespace {

struct Parsed {
    bool ok;
    CliOptions options;
    std::string error;
};

Parsed Parse(const std::vector<std::string>& args)
{
    Parsed p;
    p.ok = ParseCliOptions(args, &p.options, &p.error);
    return p;
}

TEST(PortChoice, NamesAndNumbersAreOneBased)
{
    EXPECT_EQ(ParsePortChoice("COM1"), 0);
    EXPECT_EQ(ParsePortChoice("com3"), 2);
    EXPECT_EQ(ParsePortChoice("3"), 2);
    EXPECT_EQ(ParsePortChoice("10"), 9);
    EXPECT_EQ(ParsePortChoice("COM10"), 9);
    EXPECT_EQ(ParsePortChoice("auto"), -1);
    EXPECT_EQ(ParsePortChoice("AUTO"), -1);
}

TEST(PortChoice, RejectsWhatNoPortIs)
{
    for (const char* bad : {"COM0", "0", "11", "COM11", "abc", "", "COM", "-1", "+3", " 3", "3 ", "3x", "COM 3",
                            "99999999999999999999"})
        EXPECT_FALSE(ParsePortChoice(bad).has_value()) << '"' << bad << '"';
}

TEST(SpeedChoice, AcceptsTheSixSpeedsAndAuto)
{
    for (const int bps : {9600, 19200, 38400, 57600, 115200, 230400})
        EXPECT_EQ(ParseSpeedChoice(std::to_string(bps)), bps);
    EXPECT_EQ(ParseSpeedChoice("auto"), -1);
}

TEST(SpeedChoice, RejectsEveryOtherSpeed)
{
    for (const char* bad : {"4800", "14400", "460800", "0", "-19200", "19200.0", "19k2", "", "fast"})
        EXPECT_FALSE(ParseSpeedChoice(bad).has_value()) << '"' << bad << '"';
}

TEST(CliParse, OptionsBeforeAndAfterTheCommandWithEitherValueForm)
{
    const Parsed p = Parse({"--device", "/dev/ttyUSB3", "probe", "--port=COM2", "--speed", "auto",
                            "--accept-older-models", "--accept-unknown-models"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.command, "probe");
    EXPECT_EQ(p.options.device, "/dev/ttyUSB3");
    EXPECT_EQ(p.options.port, 1);
    EXPECT_EQ(p.options.speed, -1);
    EXPECT_TRUE(p.options.acceptOlderModels);
    EXPECT_TRUE(p.options.acceptUnknownModels);
}

TEST(CliParse, NothingGivenLeavesTheStoredChoices)
{
    const Parsed p = Parse({"about"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.command, "about");
    EXPECT_FALSE(p.options.port.has_value());
    EXPECT_FALSE(p.options.speed.has_value());
    EXPECT_FALSE(p.options.device.has_value());
    EXPECT_FALSE(p.options.acceptOlderModels || p.options.acceptUnknownModels);
}

TEST(CliParse, HelpNeedsNoCommand)
{
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).ok);
    EXPECT_TRUE(Parse({"probe", "--help"}).options.help);
}

TEST(CliParse, UsageErrorsNameTheCulprit)
{
    struct Case {
        std::vector<std::string> args;
        std::string inError;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"--port", "3"}, "no command"},
        {{"probe", "--port", "COM0"}, "COM0"},
        {{"probe", "--port", "11"}, "11"},
        {{"probe", "--port=abc"}, "abc"},
        {{"probe", "--speed", "14400"}, "14400"},
        {{"probe", "--speed"}, "--speed needs a value"},
        {{"probe", "--device"}, "--device needs a value"},
        {{"probe", "--device="}, "--device"},
        {{"upload", "--progress=json", "-v", "a"}, "--progress=json and --verbose"},
        {{"probe", "-x"}, "unknown option -x"},
        {{"probe", "about"}, "about"},
        {{"upload"}, "needs at least one NAME"},
        {{"list", "x"}, "takes no names"},
        {{"--yes", "--no", "upload", "a"}, "--yes and --no"},
        {{"list", "--dry-run"}, "--dry-run is for upload and remove"},
        {{"remove", "--progress=json", "a"}, "--progress=json is for upload"},
        {{"upload", "--progress", "xml", "a"}, "bad progress format \"xml\""},
        {{"upload", "--progress=json", "--dry-run", "a"}, "cannot be given together"},
        {{"probe", "-yx"}, "unknown option -yx"},
        {{"upload", "--trace="}, "--trace needs a file"},
        {{"list", "--folder="}, "--folder"},
        {{"list", "--quiet=1"}, "takes no value"},
        {{"probe", "--help=yes"}, "takes no value"},
        {{"probe", "--accept-older-models=1"}, "takes no value"},
        {{"probe", "--wait=0"}, "--wait"},
        {{"probe", "--wait=1.5"}, "1.5"},
        {{"ports", "--wait"}, "--wait is for"},
        {{"ports", "COM1"}, "takes no names"},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_FALSE(p.ok) << c.inError;
        EXPECT_NE(p.error.find(c.inError), std::string::npos) << p.error;
    }
}

TEST(CliParse, OneLetterFlagsCombine)
{
    const Parsed p = Parse({"-yq", "upload", "a", "--", "-qy"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.answers, AnswerPolicy::Yes);
    EXPECT_TRUE(p.options.quiet);
    EXPECT_EQ(p.options.names, (std::vector<std::string>{"a", "-qy"}));
}

TEST(CliParse, TheValueOfAnOptionIsNeverTakenForTheCommand)
{
    const Parsed p = Parse({"--device", "probe", "about"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.device, "probe");
    EXPECT_EQ(p.options.command, "about");
}

TEST(CliParse, NamesFollowTheCommandAndDoubleDashEndsTheOptions)
{
    const Parsed p = Parse({"upload", "Frame Maker", "--folder", "/progs", "-y", "--", "--odd", "-x"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.command, "upload");
    EXPECT_EQ(p.options.names, (std::vector<std::string>{"Frame Maker", "--odd", "-x"}));
    EXPECT_EQ(p.options.folder, "/progs");
    EXPECT_EQ(p.options.answers, AnswerPolicy::Yes);

    const Parsed q = Parse({"--json", "--quiet", "--cancel", "--cancel", "list"});
    ASSERT_TRUE(q.ok) << q.error;
    EXPECT_TRUE(q.options.json && q.options.quiet);
    EXPECT_EQ(q.options.answers, AnswerPolicy::Cancel);
    EXPECT_TRUE(Parse({"--version"}).options.version);
}

TEST(CliParse, WaitTakesItsSecondsOnlyAfterTheEqualsSign)
{
    EXPECT_EQ(Parse({"list", "--wait"}).options.wait, -1);
    EXPECT_EQ(Parse({"--wait=30", "list"}).options.wait, 30);
    EXPECT_FALSE(Parse({"list", "--wait", "30"}).ok) << "30 is not taken as its value";
    EXPECT_FALSE(Parse({"list"}).options.wait.has_value());
    EXPECT_TRUE(Parse({"ports", "--json"}).ok);
}

TEST(CliUsageText, NamesEveryCommandAndOption)
{
    const std::string usage = CliUsage();
    for (const char* word : {"probe", "about", "--device", "--port", "--speed", "--accept-older-models",
                             "--accept-unknown-models", "--help", "list", "upload", "remove", "--folder", "--yes",
                             "--no", "--cancel", "--json", "--quiet", "--version", "130", "ports", "--wait"})
        EXPECT_NE(usage.find(word), std::string::npos) << word;
}

} // namespace
} // namespace oskel::cli
