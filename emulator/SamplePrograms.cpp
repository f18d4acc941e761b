#include "emulator/SamplePrograms.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace oskel::emulator {
namespace {

void Put(std::vector<uint8_t>& out, size_t at, const std::string& text, size_t width)
{
    for (size_t i = 0; i < width && i < text.size() && at + i < out.size(); ++i)
        out[at + i] = static_cast<uint8_t>(text[i]);
}

// The display name field: the text, '~' where it ends, blanks after.
std::string TextField(const std::string& text, size_t width)
{
    std::string field = text.substr(0, width);
    if (field.size() < width)
        field += '~';
    field.resize(width, ' ');
    return field;
}

SampleProgram Make(const std::string& file, const std::string& kind, const std::string& id, const std::string& copy,
                   const std::string& version, const std::string& name, size_t size, const std::string& note)
{
    SampleProgram p;
    p.fileName = file;
    p.kind = kind;
    p.appId = id;
    p.copyFlag = copy;
    p.version = version;
    p.displayName = name;
    p.size = size;
    p.note = note;
    return p;
}

} // namespace

std::vector<uint8_t> MakeProgramFile(const SampleProgram& p)
{
    std::vector<uint8_t> out(p.size, 0);
    uint32_t x = 2166136261u;
    for (char c : p.fileName)
        x = (x ^ static_cast<uint8_t>(c)) * 16777619u;
    for (size_t i = 120; i < out.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        out[i] = static_cast<uint8_t>(x >> 24);
    }
    std::string signature = p.signature;
    signature.resize(8, '0');
    Put(out, 0, signature, 8);
    Put(out, 8, p.kind, 4);
    Put(out, 12, p.appId, 4);
    Put(out, 16, p.copyFlag, 4);
    Put(out, 20, TextField("OSKEL sample program", 32), 32);
    Put(out, 52, TextField(p.displayName, 40), 40);
    Put(out, 92, TextField("synthetic content", 24), 24);
    Put(out, 116, p.version, 4);
    return out;
}

std::vector<SampleProgram> SampleSet(SampleSignatures signatures)
{
    std::vector<SampleProgram> set = {
        Make("CLOCK.FNC", "0003", "0000", "0000", "0102", "World Clock", 3000, "standalone application"),
        Make("SLIDES.FNC", "0003", "0000", "0000", "0100", "Slide Show", 2200,
             "standalone application of 2200 bytes: sent as 128 + 2016 + 56"),
        Make("TIMER.FNC", "0003", "0000", "0000", "00ff", "Self Timer Plus", 5000, "standalone application"),
        Make("FRAMES.FNC", "0004", "0021", "0000", "0100", "Frame Host", 4000, "host application of id 0x21"),
        Make("FRAMEA.ATC", "0005", "0021", "0000", "0100", "Frame: Classic", 1500, "attachment of host 0x21"),
        Make("FRAMEB.ATC", "0005", "0021", "0001", "0100", "Frame: Stamp", 1300,
             "attachment of host 0x21 that may be stored in several copies"),
        Make("STAMPS.FNC", "0004", "0022", "0000", "0100", "Stamp Host", 3500, "host application of id 0x22"),
        Make("STAMPA.ATC", "0005", "0022", "0000", "0101", "Stamp: Hearts", 900, "attachment of host 0x22"),
        Make("BROKEN.FNC", "0003", "12G4", "0000", "0100", "Broken Header", 800,
             "invalid: a header number that is not hexadecimal"),
        Make("SHORT.ATC", "0005", "0021", "0000", "0100", "Too Short", 100, "invalid: shorter than a header"),
    };
    const std::string main = signatures == SampleSignatures::Plain ? "KAVRA~" : "KAVRA+~";
    for (SampleProgram& p : set)
        p.signature = main;
    if (signatures == SampleSignatures::Both) {
        SampleProgram legacy = Make("LEGACY.FNC", "0003", "0000", "0000", "0100", "Legacy Viewer", 1800,
                                    "standalone application with the KAVRA~ signature (family-4 cameras only)");
        legacy.signature = "KAVRA~";
        set.push_back(legacy);
        SampleProgram legacyAttachment = Make("OLDFRAME.ATC", "0005", "0021", "0000", "0100", "Frame: Legacy", 1000,
                                              "attachment with the KAVRA~ signature");
        legacyAttachment.signature = "KAVRA~";
        set.push_back(legacyAttachment);
    }
    return set;
}

bool WriteSamplePrograms(const std::string& folder, SampleSignatures signatures, std::vector<std::string>* written,
                         std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        if (error != nullptr)
            *error = "cannot create folder " + folder + ": " + ec.message();
        return false;
    }
    for (const SampleProgram& p : SampleSet(signatures)) {
        const std::string path = (std::filesystem::path(folder) / p.fileName).string();
        const std::vector<uint8_t> bytes = MakeProgramFile(p);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            if (error != nullptr)
                *error = "cannot write " + path + ": " + std::strerror(errno);
            return false;
        }
        if (written != nullptr)
            written->push_back(path);
    }
    return true;
}

} // namespace oskel::emulator
