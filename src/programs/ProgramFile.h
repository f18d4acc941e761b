#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oskel {

// A file of the program folder, by its full path (folder and name). Owns the
// path and nothing else.
class CProgramFile {
public:
    explicit CProgramFile(std::string path) : m_strPath(std::move(path)) {}

    // True when the name ends in ".fnc" or ".atc" (any case), the path is a
    // regular file (symbolic links followed) and it holds at least 120 bytes.
    // size (optional) gets the file's size from that same status query,
    // capped at INT32_MAX.
    bool IsProgramFile(int32_t* size = nullptr) const;

    // Reads the first 120 bytes into header (120 bytes). False when the file
    // cannot be opened, is not a regular file once open, or is shorter. The
    // file is opened read-only and never blocks on a special file.
    bool ReadHeader(uint8_t* header) const;

    const std::string& Path() const { return m_strPath; }

    // The folder scan's one step per candidate: IsProgramFile and ReadHeader
    // in one, for name inside the open folder dirFd. The status comes from
    // the opened file itself (one status query, one 120-byte read), so the
    // size and the header belong to the same file even if the name is
    // replaced meanwhile.
    static bool ReadCandidate(int dirFd, const char* name, uint8_t* header, int64_t* size);
    // The same, telling in *why (when given) why a candidate could not be
    // read: the system's reason, "not a regular file", or that it is
    // shorter than a program header.
    static bool ReadCandidate(int dirFd, const char* name, uint8_t* header, int64_t* size, std::string* why);

    // The ending test alone: the last four bytes of name equal ".fnc" or
    // ".atc" without regard to ASCII case.
    static bool HasProgramEnding(std::string_view name);

private:
    static bool ReadOpened(int dirFd, const char* name, uint8_t* header, int64_t* size, std::string* why);

    std::string m_strPath;
};

} // namespace oskel
