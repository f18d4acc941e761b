#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::emulator {

// One synthetic program file: a 120-byte header and a body of made-up bytes.
struct SampleProgram {
    std::string fileName;
    std::string signature = "KAVRA+~"; // "KAVRA~" for family-4 cameras
    std::string kind = "0003";         // four hex digits as they stand in the header
    std::string appId = "0000";
    std::string copyFlag = "0000";
    std::string version = "0100";
    std::string displayName;
    size_t size = 1024;                // whole file, header included
    std::string note = {};             // what the file is for
};

// The header and body of a program file. Fields are written as given, so a
// bad hex field or a foreign signature makes an invalid file on purpose. The
// body is a pattern drawn from the file name: the same file on every run.
std::vector<uint8_t> MakeProgramFile(const SampleProgram& program);

enum class SampleSignatures { Plus, Plain, Both };

// The sample set: standalone applications, host applications with their
// attachments (one attachment that may be stored in several copies), files
// that are not valid programs, and, with Both, a few files with the other
// signature. Plus gives "KAVRA+~" files (every camera family but 4), Plain
// "KAVRA~" files (family 4).
std::vector<SampleProgram> SampleSet(SampleSignatures signatures);

// Writes the set into folder (created if missing). False with *error when a
// file cannot be written; *written gets the paths written.
bool WriteSamplePrograms(const std::string& folder, SampleSignatures signatures, std::vector<std::string>* written,
                         std::string* error);

} // namespace oskel::emulator
