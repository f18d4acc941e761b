// The program file model: which files are candidates, the header encodings,
// camera names (including Linux names that are bytes), the directory record
// built after an upload, the version rule and copy names.
#include "programs/CameraName.h"
#include "programs/ProgramFile.h"
#include "programs/ProgramHeader.h"
#include "programs/ProgramInfo.h"
#include "unit/programs/CatalogRig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>
#include <string>
#include <vector>

namespace oskel::test {
namespace {

std::string AsText(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(ProgramFile, CandidatesByEndingStatusAndSize)
{
    TempDir dir;
    const std::string valid = AsText(ProgramBytes("0003", "0000", "Frame"));
    WriteFileBytes(dir / "Frame.ATC", valid);
    WriteFileBytes(dir / "frame.fnc", valid);
    WriteFileBytes(dir / "frame.fnc.bak", valid);
    WriteFileBytes(dir / "frame.fn", valid);
    WriteFileBytes(dir / "short.fnc", valid.substr(0, 119));
    WriteFileBytes(dir / "exact.fnc", valid.substr(0, 120));
    std::filesystem::create_directory(dir / "x.fnc");
    std::filesystem::create_symlink(dir / "frame.fnc", dir / "link.fnc");

    const std::vector<std::pair<std::string, bool>> cases = {
        {"Frame.ATC", true},      {"frame.fnc", true},  {"frame.fnc.bak", false}, {"frame.fn", false},
        {"short.fnc", false},     {"exact.fnc", true},  {"x.fnc", false},         {"missing.fnc", false},
        {"link.fnc", true},
    };
    for (const auto& [name, expected] : cases) {
        int32_t size = -1;
        EXPECT_EQ(CProgramFile(dir / name).IsProgramFile(&size), expected) << name;
        if (expected) {
            EXPECT_GE(size, 120) << name;
        }
    }

    uint8_t header[kProgramHeaderSize] = {};
    ASSERT_TRUE(CProgramFile(dir / "exact.fnc").ReadHeader(header));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 120), valid.substr(0, 120));
    EXPECT_FALSE(CProgramFile(dir / "short.fnc").ReadHeader(header));
    EXPECT_FALSE(CProgramFile(dir / "x.fnc").ReadHeader(header));
    ASSERT_EQ(mkfifo((dir / "pipe.fnc").c_str(), 0600), 0);
    EXPECT_FALSE(CProgramFile(dir / "pipe.fnc").ReadHeader(header)); // does not block
}

TEST(ProgramHeader, ParseHex4)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"00fF", 255}, {"FFFF", 65535}, {"0000", 0}, {"aBcD", 0xABCD}, {"0100", 256},
        {"12G4", -1},  {"12 4", -1},    {std::string("12\0" "4", 4), -1}, {"-123", -1}, {"12g4", -1},
    };
    for (const auto& [digits, value] : cases)
        EXPECT_EQ(ParseHex4(digits.data()), value) << digits;
}

TEST(ProgramHeader, SignatureChosenByFamilyAndHexFieldsChecked)
{
    struct Case {
        std::string signature;
        int family;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"KAVRA+~", 5, true}, {"KAVRA+~", 0, true},  {"KAVRA+~", 4, false}, {"KAVRA~", 4, true},
        {"KAVRA~", 5, false}, {"kavra+~", 5, false}, {"KAVRA~xy", 4, true},
    };
    for (const Case& c : cases) {
        const auto bytes = ProgramBytes("0003", "0000", "P", "0100", "0000", 200, c.signature);
        EXPECT_EQ(IsValidHeader(bytes.data(), RequiresPlusSignature(c.family)), c.valid)
            << c.signature << " family " << c.family;
    }
    for (int offset : {kHeaderKindOffset, kHeaderAppIdOffset, kHeaderCopyFlagOffset, kHeaderVersionOffset}) {
        auto bytes = ProgramBytes("0003", "0000", "P");
        bytes[static_cast<size_t>(offset) + 2] = ' ';
        EXPECT_FALSE(IsValidHeader(bytes.data(), true)) << offset;
    }
    auto kind7 = ProgramBytes("0007", "0000", "P");
    EXPECT_TRUE(IsValidHeader(kind7.data(), true)); // the kind is not restricted
}

TEST(ProgramHeader, TextFields)
{
    const std::vector<std::pair<std::string, std::string>> reads = {
        {"Frames~" + std::string(33, ' '), "Frames"},
        {std::string(40, 'A'), std::string(40, 'A')},
        {"~" + std::string(39, 'x'), ""},
        {std::string("Nul\0after~", 10) + std::string(30, ' '), "Nul"},
    };
    for (const auto& [field, text] : reads)
        EXPECT_EQ(ReadTextField(reinterpret_cast<const uint8_t*>(field.data()), 40), text);

    uint8_t field[41];
    field[40] = '#';
    WriteTextField(field, 40, "Frames");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 41), "Frames~" + std::string(33, ' ') + "#");
    WriteTextField(field, 40, std::string(45, 'B'));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field), 41), std::string(40, 'B') + "#");
}

TEST(CameraName, FromFileNames)
{
    const std::vector<std::pair<std::string, std::string>> named = {
        {"A.FNC", std::string("A       FNC\0", 12)},
        {"PROGRAMS.ATC", std::string("PROGRAMSATC\0", 12)},
        {"a.b.fnc", std::string("a       b.f\0", 12)},
        {"my prog.fnc", std::string("my prog fnc\0", 12)},
        {"~x~.atc", std::string("~x~     atc\0", 12)},
        {"Caf\xE9.fnc", std::string("Caf\xE9    fnc\0", 12)},
        {"\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.fnc", std::string("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE" "fnc\0", 12)},
    };
    for (const auto& [fileName, expected] : named) {
        char name[kCameraNameSize + 1];
        name[kCameraNameSize] = '#';
        ASSERT_TRUE(MakeCameraName(fileName, name)) << fileName;
        EXPECT_EQ(std::string(name, 12), expected) << fileName;
        EXPECT_EQ(name[kCameraNameSize], '#') << "overrun by " << fileName;
    }
    for (const std::string& fileName : {std::string("PROGRAMS1.FNC"), std::string(250, 'x') + ".fnc",
                                        std::string(".fnc"), std::string("nodot"), std::string("a.fn"),
                                        std::string("\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\xD0\xBE.fnc")}) {
        char name[kCameraNameSize + 1];
        name[kCameraNameSize] = '#';
        EXPECT_FALSE(MakeCameraName(fileName, name)) << fileName;
        EXPECT_EQ(std::string(name, 12), std::string(12, '\0'));
        EXPECT_EQ(name[kCameraNameSize], '#');
    }
    EXPECT_TRUE(CameraNamesEqual("prog    fnc", "PROG    FNC"));
    EXPECT_FALSE(CameraNamesEqual("prog    fnc", "PROG    FNB"));
}

TEST(ProgramInfo, BuiltFromTheEntryWithSizeZero)
{
    const FolderEntry entry = EntryOf("FRAMEA.ATC", ProgramBytes("0005", "0021", "Frame A", "01a0", "0001", 3000));
    ProgramInfoRecord record;
    record.SetStoredSize(77);
    BuildProgramInfo(&record, entry);
    EXPECT_EQ(std::string(record.CameraName(), 12), std::string("FRAMEA  ATC\0", 12));
    EXPECT_EQ(std::memcmp(record.Signature(), entry.header, 8), 0);
    EXPECT_EQ(record.Kind(), 5);
    EXPECT_EQ(record.AppId(), 0x21);
    EXPECT_EQ(record.CopyFlag(), 1);
    EXPECT_EQ(record.Version(), 0x01A0);
    EXPECT_EQ(record.StoredSize(), 0u);
    EXPECT_EQ(std::memcmp(record.DisplayNameField(), entry.header + 52, 40), 0);
    EXPECT_EQ(RecordDisplayName(record), "Frame A");

    BuildProgramInfo(&record, entry, "FRAMEA2 ATC");
    EXPECT_EQ(std::string(record.CameraName(), 12), std::string("FRAMEA2 ATC\0", 12));
}

TEST(ProgramInfo, VersionRule)
{
    const std::vector<std::tuple<std::string, uint16_t, bool>> cases = {
        {"0100", 0x00FF, true}, {"0100", 0x0100, false}, {"00FF", 0x0100, false}, {"FFFF", 0x7FFF, true}};
    for (const auto& [fileVersion, stored, newer] : cases) {
        const FolderEntry entry = EntryOf("P.FNC", ProgramBytes("0003", "0000", "P", fileVersion));
        ProgramInfoRecord record;
        record.SetVersion(stored);
        EXPECT_EQ(IsNewerThanStored(entry, record), newer) << fileVersion << " vs " << stored;
    }
}

TEST(CameraName, NextCopyNameTakesTheFirstFreeDigitAtTheFirstBlank)
{
    CatalogRig rig;
    auto add = [&](const std::string& cameraName) {
        rig.catalog.AddCameraRecord(EntryOf("X.ATC", ProgramBytes("0005", "0002", "X", "0100", "0001")),
                                    cameraName.c_str());
    };
    auto next = [&](std::string name) {
        NextCopyName(name.data(), rig.catalog);
        return name;
    };
    EXPECT_EQ(next("FRAME   ATC"), "FRAME2  ATC");
    add("FRAME2  ATC");
    EXPECT_EQ(next("FRAME   ATC"), "FRAME3  ATC");
    EXPECT_EQ(next("ABCDEFGHATC"), "ABCDEFG2ATC");
    for (const char* taken : {"frame3  atc", "FRAME4  ATC", "FRAME5  ATC"})
        add(taken);
    EXPECT_EQ(next("FRAME   ATC"), "FRAME6  ATC");
}

} // namespace
} // namespace oskel::test
