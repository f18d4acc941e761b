#include "emulator/ProgramDump.h"

#include "protocol/Packet.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace oskel::emulator {
namespace {

std::string DisplayName(const DirectoryRecord& r)
{
    std::string name;
    for (int i = 26; i < 66 && r[static_cast<size_t>(i)] != '~'; ++i)
        name += static_cast<char>(r[static_cast<size_t>(i)]);
    return name;
}

std::string Unique(const std::string& fileName, std::set<std::string>* taken)
{
    std::string candidate = fileName;
    const size_t dot = fileName.find('.');
    for (int n = 2; taken->count(candidate) != 0; ++n) {
        candidate = dot == std::string::npos ? fileName + "(" + std::to_string(n) + ")"
                                             : fileName.substr(0, dot) + "(" + std::to_string(n) + ")" +
                                                   fileName.substr(dot);
    }
    taken->insert(candidate);
    return candidate;
}

} // namespace

std::string DescribeProgramStore(const ProgramStore& store)
{
    std::string out;
    char line[200];
    std::snprintf(line, sizeof line, "%d programs, %u of %u bytes used, %u free\n", store.Count(), store.Used(),
                  store.Capacity(), store.Free());
    out += line;
    for (int slot = 1; slot <= store.Count(); ++slot) {
        DirectoryRecord r{};
        if (!store.Record(slot, &r))
            continue;
        std::string name(reinterpret_cast<const char*>(r.data()), 11);
        std::snprintf(line, sizeof line, "%2d  %-11s  kind %u  id 0x%04X  copy %u  version 0x%04X  %7u bytes  %s\n",
                      slot, name.c_str(), GetLe16(r.data() + 20), GetLe16(r.data() + 22), GetLe16(r.data() + 24),
                      GetLe16(r.data() + 70), GetLe32(r.data() + 66), DisplayName(r).c_str());
        out += line;
    }
    return out;
}

bool DumpProgramStore(const ProgramStore& store, const std::string& folder, std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        *error = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    std::set<std::string> taken = {"directory.txt"};
    auto write = [&](const std::string& name, const char* bytes, size_t size) {
        const std::string path = (std::filesystem::path(folder) / name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes, static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            *error = "cannot write " + path;
            return false;
        }
        return true;
    };
    for (const StoredProgram& p : store.All()) {
        const std::string name = Unique(FileNameFromCameraName(p.name), &taken);
        if (!write(name, reinterpret_cast<const char*>(p.data.data()), p.data.size()))
            return false;
    }
    const std::string listing = DescribeProgramStore(store);
    return write("directory.txt", listing.data(), listing.size());
}

} // namespace oskel::emulator
