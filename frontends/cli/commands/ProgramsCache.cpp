#include "commands/ProgramsCache.h"

#include "commands/ProgramText.h"

#include "programs/ProgramCatalog.h"
#include "programs/ProgramInfo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace oskel::cli {
namespace {

constexpr const char* kCacheFile = "oskel-uploader/camera-programs";
// A camera holds a few hundred programs at most; a larger file is no cache
// of ours.
constexpr size_t kMaxCacheSize = 256 * 1024;

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string DefaultProgramsCachePath()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/" + kCacheFile;
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && *env != '\0')
        home = env;
    else if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        home = pw->pw_dir;
    return home.empty() ? std::string() : home + "/.cache/" + kCacheFile;
}

void WriteProgramsCache(const std::string& path, ProgramCatalog& catalog)
{
    if (path.empty() || catalog.cameraCount < 0)
        return;
    std::vector<std::string> names;
    const ui::ListModel& list = catalog.CameraList();
    for (int i = 0; i < list.GetCount(); ++i) {
        const int slot = ProgramCatalog::CameraSlotAt(list, i);
        const ProgramInfoRecord* record = catalog.RecordAt(slot);
        if (record == nullptr || catalog.IsUnreadRecord(slot))
            continue;
        // A name is one line: one that holds a line break cannot be kept.
        const std::string name = DottedCameraBytes(record->CameraName());
        if (!name.empty() && name.find_first_of("\n\r") == std::string::npos)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string text;
    for (const std::string& name : names)
        text += name + '\n';

    std::error_code ec;
    const std::filesystem::path file(path);
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return;
    const bool written = WriteAll(fd, text);
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0)
        ::unlink(temporary.c_str());
}

std::vector<std::string> ReadProgramsCache(const std::string& path)
{
    std::vector<std::string> names;
    if (path.empty())
        return names;
    // O_NONBLOCK: a FIFO in the file's place must not hang the completion.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return names;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        if (text.size() > kMaxCacheSize) {
            ::close(fd);
            return names;
        }
    }
    ::close(fd);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start && text.find('\0', start) >= end)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace oskel::cli
