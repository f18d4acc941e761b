#include "support/CameraCases.h"

#include "emulator/CameraEngine.h"
#include "emulator/SamplePrograms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel::test {
namespace {

struct Identity {
    const char* file;
    const char* kind;
    const char* appId;
    const char* display;
};

// Four standalone applications, two hosts with their attachments, and a
// program of a kind that is never listed.
constexpr Identity kPool[] = {
    {"APPA.FNC", "0003", "0000", "Alpha"},   {"APPB.FNC", "0003", "0000", "Bravo"},
    {"APPC.FNC", "0003", "0000", "Charlie"}, {"APPD.FNC", "0003", "0000", "Delta"},
    {"HOSTX.FNC", "0004", "0011", "Host X"}, {"XONE.ATC", "0005", "0011", "X One"},
    {"XTWO.ATC", "0005", "0011", "X Two"},   {"HOSTY.FNC", "0004", "0022", "Host Y"},
    {"YONE.ATC", "0005", "0022", "Y One"},   {"ODD.FNC", "0007", "0000", "Odd Kind"},
};
constexpr size_t kPoolSize = sizeof kPool / sizeof kPool[0];
// Every attempt at the one packet that follows is answered with NAK.
constexpr int kPacketAttempts = 6;

class Dice {
public:
    explicit Dice(uint32_t seed) : m_random(seed) {}
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename T> void Shuffle(std::vector<T>& v) { std::shuffle(v.begin(), v.end(), m_random); }

private:
    std::mt19937 m_random;
};

std::string Version(Dice& dice)
{
    return "000" + std::to_string(dice.Between(1, 3));
}

emulator::SampleProgram Program(const Identity& id, Dice& dice, bool copyFlag)
{
    emulator::SampleProgram p;
    p.fileName = id.file;
    p.kind = id.kind;
    p.appId = id.appId;
    p.copyFlag = copyFlag ? "0001" : "0000";
    p.displayName = id.display;
    p.version = Version(dice);
    p.size = static_cast<size_t>(dice.Between(150, 3000));
    return p;
}

emulator::StoredProgram Stored(const emulator::SampleProgram& p, const std::string& fileName)
{
    emulator::StoredProgram stored;
    emulator::CameraNameFromFileName(fileName, &stored.name);
    stored.data = emulator::MakeProgramFile(p);
    return stored;
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

void GenerateCamera(CameraCase& c, Dice& dice, const std::vector<bool>& copyFlags)
{
    std::vector<emulator::StoredProgram> programs;
    for (size_t i = 0; i < kPoolSize; ++i) {
        if (!dice.Chance(40))
            continue;
        const emulator::SampleProgram p = Program(kPool[i], dice, copyFlags[i]);
        programs.push_back(Stored(p, p.fileName));
        if (copyFlags[i] && dice.Chance(40)) {
            std::string copy = p.fileName;
            copy.insert(copy.find('.'), "2");
            programs.push_back(Stored(p, copy));
        }
    }
    dice.Shuffle(programs);
    uint64_t used = 0;
    for (size_t slot = 1; slot <= programs.size(); ++slot) {
        if (dice.Chance(12))
            c.unreadSlots.push_back(static_cast<int>(slot));
        used += programs[slot - 1].data.size();
    }
    c.camera.programs = std::move(programs);
    const int free = dice.Chance(25) ? dice.Between(0, 9000) : 200000;
    c.camera.capacityBytes = static_cast<uint32_t>(used + static_cast<uint64_t>(free));
}

void GenerateFolder(CameraCase& c, Dice& dice, const std::vector<bool>& copyFlags)
{
    for (size_t i = 0; i < kPoolSize; ++i) {
        if (dice.Chance(60))
            c.folder.push_back({kPool[i].file, emulator::MakeProgramFile(Program(kPool[i], dice, copyFlags[i]))});
    }
    emulator::SampleProgram other = Program({"OTHER.FNC", "0003", "0000", "Other Family"}, dice, false);
    other.signature = "KAVRA~~";
    emulator::SampleProgram broken = Program({"BROKEN.FNC", "0003", "0000", "Broken"}, dice, false);
    broken.version = "00G1";
    emulator::SampleProgram longName = Program({"LONGNAMED.FNC", "0003", "0000", "Long Named"}, dice, false);
    std::vector<uint8_t> shortFile = emulator::MakeProgramFile(Program({"SHORT.FNC", "0003", "0000", "Short"}, dice,
                                                                       false));
    shortFile.resize(100);
    const std::vector<CaseFile> odd = {
        {"OTHER.FNC", emulator::MakeProgramFile(other)},
        {"BROKEN.FNC", emulator::MakeProgramFile(broken)},
        {"LONGNAMED.FNC", emulator::MakeProgramFile(longName)},
        {"SHORT.FNC", shortFile},
        {"LOST.ATC", {}, CaseFile::Special::Dangling},
        {"PIPE.FNC", {}, CaseFile::Special::Fifo},
    };
    for (const CaseFile& f : odd) {
        if (dice.Chance(15))
            c.folder.push_back(f);
    }
    // Two names that show the same text: UTF-8 and Latin-1.
    if (dice.Chance(10)) {
        c.folder.push_back({"Caf\xC3\xA9.fnc", emulator::MakeProgramFile(Program({"Caf\xC3\xA9.fnc", "0003", "0000",
                                                                               "Cafe UTF-8"}, dice, false))});
        c.folder.push_back({"Caf\xE9.fnc", emulator::MakeProgramFile(Program({"Caf\xE9.fnc", "0003", "0000",
                                                                         "Cafe Latin-1"}, dice, false))});
    }
}

void GenerateSelection(CameraCase& c, Dice& dice)
{
    std::vector<std::string> listed; // camera names and slots of listed programs
    for (size_t i = 0; i < c.camera.programs.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        const emulator::StoredProgram& p = c.camera.programs[i];
        if (std::find(c.unreadSlots.begin(), c.unreadSlots.end(), slot) != c.unreadSlots.end())
            continue;
        const int kind = p.data.size() >= 12 ? p.data[11] - '0' : 0;
        if (kind == 3 || kind == 5)
            listed.push_back(dice.Chance(50) ? "#" + std::to_string(slot)
                                             : emulator::FileNameFromCameraName(p.name));
    }
    c.upload = listed.empty() || dice.Chance(60);
    std::vector<std::string> pool = listed;
    if (c.upload) {
        pool.clear();
        for (const CaseFile& f : c.folder)
            pool.push_back(f.name);
    }
    dice.Shuffle(pool);
    const int n = std::min<int>(static_cast<int>(pool.size()), dice.Between(1, 3));
    c.names.assign(pool.begin(), pool.begin() + n);
    const int answer = dice.Between(1, 10);
    c.answer = answer <= 7 ? 'y' : answer <= 9 ? 'n' : 'c';
}

} // namespace

void InstallCaseHooks(const CameraCase& c, emulator::CameraEngine& camera, const std::string& folder,
                      bool* lateFileWritten)
{
    std::vector<emulator::CameraName> unread;
    for (const int slot : c.unreadSlots)
        unread.push_back(c.camera.programs[static_cast<size_t>(slot - 1)].name);
    camera.SetLog([&camera, unread, late = c.lateFile, folder, lateFileWritten](const std::string& line) {
        static const std::string kCount = "GetRegister 55";
        if (!late.name.empty() && !*lateFileWritten && line.find(kCount) != std::string::npos) {
            *lateFileWritten = true;
            WriteCaseFile(late, folder);
        }
        static const std::string kSelect = "SetRegister 56 = ";
        const size_t at = line.find(kSelect);
        if (at == std::string::npos)
            return;
        camera.Faults() = emulator::FaultScript();
        const emulator::StoredProgram* p = camera.Programs().At(std::atoi(line.c_str() + at + kSelect.size()));
        if (p != nullptr && std::find(unread.begin(), unread.end(), p->name) != unread.end())
            camera.Faults().Add({emulator::FaultKind::Nak, 1, kPacketAttempts});
    });
}

CameraCase GenerateCameraCase(uint32_t seed)
{
    Dice dice(seed);
    CameraCase c;
    c.seed = seed;
    std::vector<bool> copyFlags(kPoolSize, false);
    for (size_t i = 0; i < kPoolSize; ++i)
        copyFlags[i] = std::string(kPool[i].kind) == "0005" && dice.Chance(50);
    GenerateCamera(c, dice, copyFlags);
    GenerateFolder(c, dice, copyFlags);
    GenerateSelection(c, dice);
    c.modelTextFails = dice.Chance(3);
    if (dice.Chance(10))
        c.lateFile = {"AAAA.FNC", emulator::MakeProgramFile(Program({"AAAA.FNC", "0003", "0000", "Aardvark"}, dice,
                                                                            false))};
    return c;
}

void WriteCaseFile(const CaseFile& f, const std::string& dir)
{
    const std::string path = dir + "/" + f.name;
    switch (f.special) {
    case CaseFile::Special::Dangling:
        std::filesystem::create_symlink(dir + "/gone", path);
        break;
    case CaseFile::Special::Fifo:
        ::mkfifo(path.c_str(), 0600);
        break;
    case CaseFile::Special::None: {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
        break;
    }
    }
}

void WriteCaseFolder(const CameraCase& c, const std::string& dir)
{
    for (const CaseFile& f : c.folder)
        WriteCaseFile(f, dir);
}

std::string CameraCase::Describe() const
{
    std::string text = "seed " + std::to_string(seed) + " (replay: OSKEL_CASE_SEED=" + std::to_string(seed) + ")\n";
    text += "camera, free " + std::to_string(camera.capacityBytes) + " bytes in all:\n";
    for (size_t i = 0; i < camera.programs.size(); ++i) {
        const emulator::StoredProgram& p = camera.programs[i];
        const int slot = static_cast<int>(i) + 1;
        const bool unread = std::find(unreadSlots.begin(), unreadSlots.end(), slot) != unreadSlots.end();
        text += "  #" + std::to_string(slot) + " " + emulator::FileNameFromCameraName(p.name) +
                (unread ? " (record unreadable)"
                        : " kind " + std::string(1, static_cast<char>(p.data[11])) + " copy " +
                              std::string(1, static_cast<char>(p.data[19])) + " v" +
                              std::string(p.data.begin() + 116, p.data.begin() + 120)) +
                ", " + std::to_string(p.data.size()) + " bytes\n";
    }
    if (modelTextFails)
        text += "  (its model text cannot be read)\n";
    text += "folder:\n";
    for (const CaseFile& f : folder) {
        text += "  " + Printable(f.name);
        if (f.special == CaseFile::Special::Dangling)
            text += " (dangling link)";
        else if (f.special == CaseFile::Special::Fifo)
            text += " (pipe)";
        else if (f.bytes.size() >= 120)
            text += " v" + Printable(std::string(f.bytes.begin() + 116, f.bytes.begin() + 120)) + " copy " +
                    std::string(1, static_cast<char>(f.bytes[19]));
        text += "\n";
    }
    if (!lateFile.name.empty())
        text += "  " + lateFile.name + " (copied in once the folder has been read)\n";
    text += std::string(upload ? "upload" : "remove") + " --" +
            (answer == 'y' ? "yes" : answer == 'n' ? "no" : "cancel");
    for (const std::string& n : names)
        text += " " + Printable(n);
    return text + "\n";
}

} // namespace oskel::test
