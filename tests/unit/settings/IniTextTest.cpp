#include "platform/IniText.h"

#include <gtest/gtest.h>

namespace oskel {
namespace {

TEST(IniTextRead, NamesCompareWithoutCaseOrSurroundingBlanks)
{
    const IniText ini("[communication]\n  PORT = 3 \n[ UploadDialog ]\nOPFFolder=/home/u/progs\n");
    EXPECT_EQ(ini.Get("Communication", "Port"), "3");
    EXPECT_EQ(ini.Get("COMMUNICATION", "port"), "3");
    EXPECT_EQ(ini.Get("uploaddialog", "opffolder"), "/home/u/progs");
    EXPECT_EQ(ini.Get("Communication", "OPFFolder"), std::nullopt);
    EXPECT_EQ(ini.Get("Missing", "Port"), std::nullopt);
}

TEST(IniTextRead, FirstKeyAndFirstSectionWin)
{
    const IniText ini("[A]\nk=1\nK=2\n[B]\nx=1\n[a]\nk=3\nonly=4\n");
    EXPECT_EQ(ini.Get("A", "k"), "1");
    // The second [a] section is not consulted, as with the classic functions.
    EXPECT_EQ(ini.Get("A", "only"), std::nullopt);
}

TEST(IniTextRead, MalformedLines)
{
    const IniText ini("loose=1\n[S]\nnoequals\n;Port=9\n=orphan\n[Broken\nafter=5\nbad]=7\n"
                      "empty=\nq1=\"  padded  \"\nq2='x'\nq3=\"half\nq4=\"\n");
    EXPECT_EQ(ini.Get("S", "noequals"), std::nullopt);  // a key without a value
    EXPECT_EQ(ini.Get("S", "Port"), std::nullopt);      // commented out
    EXPECT_EQ(ini.Get("Broken", "after"), std::nullopt);
    EXPECT_EQ(ini.Get("S", "after"), "5");              // the unclosed header was an ordinary line
    EXPECT_EQ(ini.Get("S", "bad]"), "7");
    EXPECT_EQ(ini.Get("S", "empty"), "");
    EXPECT_EQ(ini.Get("S", "q1"), "  padded  ");
    EXPECT_EQ(ini.Get("S", "q2"), "x");
    EXPECT_EQ(ini.Get("S", "q3"), "\"half");
    EXPECT_EQ(ini.Get("S", "q4"), "\"");
}

TEST(IniTextRead, ByteOrderMarkCrLfAndJunk)
{
    static const char bytes[] = "\xEF\xBB\xBF[S]\r\nk=v\r\n\x01\xFF\x00zz\r\n[T]\r\nj=w";
    const IniText ini(std::string(bytes, sizeof bytes - 1));
    EXPECT_EQ(ini.Get("S", "k"), "v");
    EXPECT_EQ(ini.Get("T", "j"), "w");
}

TEST(IniTextWrite, ReplacesOnlyTheValue)
{
    const std::string before = "; sibling settings\r\n[Camera]\r\nFlash = On  \r\n\r\n"
                               "[Communication]\r\n  Port = 3 ; not a comment\r\nSpeed=19200\r\n\r\n[Other]\r\nx=1\r\n";
    IniText ini(before);
    ASSERT_TRUE(ini.Set("communication", "PORT", "1073741825"));
    std::string expected = before;
    expected.replace(expected.find("3 ; not a comment"), 17, "1073741825");
    EXPECT_EQ(ini.Text(), expected);
}

TEST(IniTextWrite, NewKeyGoesAfterTheLastKeyOfItsSection)
{
    IniText ini("[Communication]\r\nPort=1\r\n\r\n; about the next one\r\n[Other]\r\nx=1\r\n");
    ASSERT_TRUE(ini.Set("Communication", "Speed", "19200"));
    EXPECT_EQ(ini.Text(), "[Communication]\r\nPort=1\r\nSpeed=19200\r\n\r\n; about the next one\r\n[Other]\r\nx=1\r\n");
}

TEST(IniTextWrite, NewSectionIsAppendedWithTheFileLineEnding)
{
    IniText crlf("[Other]\r\nx=1");
    ASSERT_TRUE(crlf.Set("UploadDialog", "OPFFolder", "/p"));
    EXPECT_EQ(crlf.Text(), "[Other]\r\nx=1\r\n\r\n[UploadDialog]\r\nOPFFolder=/p\r\n");

    IniText empty("");
    ASSERT_TRUE(empty.Set("S", "k", "v"));
    EXPECT_EQ(empty.Text(), "[S]\nk=v\n");

    IniText headerOnly("[S]");
    ASSERT_TRUE(headerOnly.Set("S", "k", "v"));
    EXPECT_EQ(headerOnly.Text(), "[S]\nk=v");
}

TEST(IniTextWrite, KeyWithoutValueGetsOne)
{
    IniText ini("[S]\nflag  \nnext=1\n");
    ASSERT_TRUE(ini.Set("S", "FLAG", "on"));
    EXPECT_EQ(ini.Text(), "[S]\nflag=on  \nnext=1\n");
    EXPECT_EQ(ini.Get("S", "flag"), "on");
}

TEST(IniTextWrite, ValuesReadBackExactly)
{
    for (const std::string value : {"  lead", "trail ", "\"quoted\"", "'single'", "", "a=b;c", "\"", "C:\\x\\"}) {
        IniText ini("[S]\nk=old\n");
        ASSERT_TRUE(ini.Set("S", "k", value));
        EXPECT_EQ(ini.Get("S", "k"), value) << ini.Text();
    }
}

TEST(IniTextWrite, RefusesWhatCannotStayOnOneLine)
{
    const std::string before = "[S]\nk=1\n";
    IniText ini(before);
    EXPECT_FALSE(ini.Set("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.Set("S", "k", "cr\rhere"));
    EXPECT_FALSE(ini.Set("S", "k", std::string("nul\0x", 5)));
    EXPECT_FALSE(ini.Set("S]", "k", "v"));
    EXPECT_FALSE(ini.Set("S", "a=b", "v"));
    EXPECT_FALSE(ini.Set("S", "[T]", "v"));
    EXPECT_FALSE(ini.Set("S", ";c", "v"));
    EXPECT_FALSE(ini.Set("S", " ", "v"));
    EXPECT_EQ(ini.Text(), before);
}

TEST(IniTextWrite, VeryLongLinesSurvive)
{
    const std::string longValue(200000, 'x');
    IniText ini("[Sibling]\nblob=" + longValue + "\n[S]\nk=1\n");
    ASSERT_TRUE(ini.Set("S", "k", "2"));
    EXPECT_EQ(ini.Get("Sibling", "blob"), longValue);
    EXPECT_EQ(ini.Get("S", "k"), "2");
}

} // namespace
} // namespace oskel
