#include "programs/ProgramFile.h"

#include "programs/ProgramHeader.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {
namespace {

bool EndsWithNoCase(std::string_view name, std::string_view ending)
{
    if (name.size() < ending.size())
        return false;
    name.remove_prefix(name.size() - ending.size());
    for (size_t i = 0; i < ending.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c + ('a' - 'A'));
        if (c != static_cast<unsigned char>(ending[i]))
            return false;
    }
    return true;
}

} // namespace

bool CProgramFile::HasProgramEnding(std::string_view name)
{
    return EndsWithNoCase(name, ".fnc") || EndsWithNoCase(name, ".atc");
}

bool CProgramFile::IsProgramFile(int32_t* size) const
{
    if (!HasProgramEnding(m_strPath))
        return false;
    struct stat status {};
    if (::stat(m_strPath.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < kProgramHeaderSize)
        return false;
    if (size != nullptr)
        *size = status.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.st_size);
    return true;
}

bool CProgramFile::ReadHeader(uint8_t* header) const
{
    return ReadOpened(AT_FDCWD, m_strPath.c_str(), header, nullptr, nullptr);
}

bool CProgramFile::ReadCandidate(int dirFd, const char* name, uint8_t* header, int64_t* size)
{
    return ReadCandidate(dirFd, name, header, size, nullptr);
}

bool CProgramFile::ReadCandidate(int dirFd, const char* name, uint8_t* header, int64_t* size, std::string* why)
{
    return HasProgramEnding(name) && ReadOpened(dirFd, name, header, size, why);
}

bool CProgramFile::ReadOpened(int dirFd, const char* name, uint8_t* header, int64_t* size, std::string* why)
{
    const auto fail = [why](std::string reason) {
        if (why != nullptr)
            *why = std::move(reason);
        return false;
    };
    // Non-blocking, so a name that stands for a pipe cannot hang the scan;
    // the status of what was opened decides.
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(std::strerror(errno));
    struct stat status {};
    bool ok = true;
    if (::fstat(fd, &status) != 0)
        ok = fail(std::strerror(errno));
    else if (!S_ISREG(status.st_mode))
        ok = fail("not a regular file");
    else if (status.st_size < kProgramHeaderSize)
        ok = fail("shorter than the 120-byte program header");
    if (ok && size != nullptr)
        *size = static_cast<int64_t>(status.st_size);
    size_t got = 0;
    while (ok && got < static_cast<size_t>(kProgramHeaderSize)) {
        const ssize_t n = ::read(fd, header + got, static_cast<size_t>(kProgramHeaderSize) - got);
        if (n > 0)
            got += static_cast<size_t>(n);
        else if (n == 0)
            ok = fail("shorter than the 120-byte program header");
        else if (errno != EINTR)
            ok = fail(std::strerror(errno));
    }
    ::close(fd);
    return ok;
}

} // namespace oskel
