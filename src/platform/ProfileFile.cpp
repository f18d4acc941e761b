#include "platform/ProfileFile.h"

#include "platform/IniText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oskel {
namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return ".";
}

std::string SystemError(int error)
{
    return std::strerror(error);
}

// Reads a regular file of at most kMaxFileSize bytes from fd; on failure
// *why (when given) says why, naming the file as `path`.
bool ReadAll(int fd, std::string* out, const std::string& path = {}, std::string* why = nullptr)
{
    auto fail = [&](std::string reason) {
        if (why != nullptr)
            *why = std::move(reason);
        return false;
    };
    const std::string tooLarge = path + " is larger than " + std::to_string(ProfileFile::kMaxFileSize >> 20) +
                                 " MiB and was ignored";
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return fail(path + ": " + SystemError(errno));
    if (!S_ISREG(st.st_mode))
        return fail(path + " is not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > ProfileFile::kMaxFileSize)
        return fail(tooLarge);
    out->clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(path + " cannot be read: " + SystemError(errno));
        if (n == 0)
            return true;
        out->append(buffer, static_cast<size_t>(n));
        if (out->size() > ProfileFile::kMaxFileSize)
            return fail(tooLarge);
    }
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write replaces: path itself, or the end of its chain of links.
std::string ResolveLinks(std::string path)
{
    for (int depth = 0; depth < 16; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0)
            break;
        const std::string link(target, static_cast<size_t>(n));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
    return path;
}

// mkdir -p; folders made here are private to the user, as for any
// configuration folder.
bool MakeFolders(const std::string& folder)
{
    for (size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/')
            continue;
        const std::string prefix = folder.substr(0, pos);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens (creating if need be) and locks the file now at path. A writer that
// replaced the file while we waited leaves us holding a lock on the old
// inode, so the open is repeated until the locked file is the current one.
int OpenLocked(const std::string& path, bool* created)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *created = false;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0 && errno == ENOENT) {
            fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_CREAT | O_EXCL, 0666);
            *created = fd >= 0;
            if (fd < 0 && errno == EEXIST)
                continue;
        }
        if (fd < 0)
            return -1;
        int locked;
        do {
            locked = flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        struct stat held {};
        struct stat current {};
        if (locked == 0 && fstat(fd, &held) == 0 && stat(path.c_str(), &current) == 0 &&
            SameFile(held, current))
            return fd;
        close(fd);
        if (locked != 0)
            return -1;
    }
    return -1;
}

// Temporary files of writes that never finished. Called with the lock held,
// when no other write of this file can be under way.
void RemoveStaleTemps(const std::string& folder, const std::string& prefix)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix))
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

bool SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

} // namespace

std::string ProfileFilePath(std::string_view fileName)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = (xdg != nullptr && xdg[0] == '/') ? std::string(xdg) : HomeFolder() + "/.config";
    return folder + "/" + std::string(fileName);
}

std::string SettingsFilePath()
{
    return ProfileFilePath(kSettingsFileName);
}

ProfileFile::ProfileFile(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> ProfileFile::ReadString(std::string_view section, std::string_view key) const
{
    // O_NONBLOCK: a FIFO in the file's place must not hang the program.
    const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    const bool ok = ReadAll(fd, &text);
    close(fd);
    if (!ok)
        return std::nullopt;
    return IniText(std::move(text)).Get(section, key);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view def) const
{
    auto value = ReadString(section, key);
    return value ? std::move(*value) : std::string(def);
}

int ProfileFile::ParseInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int def) const
{
    const auto value = ReadString(section, key);
    if (!value || value->find_first_not_of(" \t") == std::string::npos)
        return def;
    return ParseInt(*value);
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string why;
    const bool written = Write(section, key, value, &why);
    if (!written && m_report)
        m_report(why.empty() ? "the write of " + m_path + " was stopped" : why);
    return written;
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value, std::string* why)
{
    // Folders are made for the file's own place only: a link is followed
    // to a folder that exists, never one made along its target.
    const std::string target = ResolveLinks(m_path);
    const std::string folder = FolderOf(target);
    if (target == m_path) {
        if (!MakeFolders(folder)) {
            const int error = errno;
            struct stat st {};
            *why = stat(folder.c_str(), &st) == 0 ? folder + " is not a folder"
                                                  : "the folder " + folder + " cannot be made: " + SystemError(error);
            return false;
        }
    } else if (struct stat st {}; stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *why = m_path + " is a link to " + target + ", in a folder that does not exist";
        return false;
    }
    bool created = false;
    const int fd = OpenLocked(target, &created);
    if (fd < 0) {
        *why = target + " cannot be opened: " + SystemError(errno);
        return false;
    }

    std::string tempPath;
    int tempFd = -1;
    // Everything before the rename leaves the old file as it was.
    auto fail = [&](std::string reason) {
        *why = std::move(reason);
        if (tempFd >= 0)
            close(tempFd);
        if (!tempPath.empty())
            unlink(tempPath.c_str());
        struct stat st {};
        if (created && fstat(fd, &st) == 0 && st.st_size == 0)
            unlink(target.c_str());
        close(fd);
        return false;
    };
    auto systemFail = [&](const std::string& what) { return fail(what + ": " + SystemError(errno)); };

    std::string oldText;
    std::string unread;
    if (!Reached(Step::Locked))
        return fail({});
    if (!ReadAll(fd, &oldText, target, &unread))
        return fail(unread);
    if (!Reached(Step::Read))
        return fail({});
    IniText ini(oldText);
    if (!ini.Set(section, key, value))
        return fail("\"" + std::string(key) + "\" cannot be stored in " + target);
    if (ini.Text() == oldText && !created) {
        close(fd);
        return true;
    }

    const std::string base = target.substr(target.rfind('/') + 1);
    const std::string tempPrefix = base + ".tmp-";
    RemoveStaleTemps(folder, tempPrefix);
    std::string pattern = folder + "/" + tempPrefix + "XXXXXX";
    tempFd = mkostemp(pattern.data(), O_CLOEXEC);
    if (tempFd < 0)
        return systemFail("no file can be made in " + folder);
    tempPath = pattern;
    struct stat st {};
    if (fstat(fd, &st) != 0 || fchmod(tempFd, st.st_mode & 07777) != 0)
        return systemFail(target + " cannot be written");
    if (!Reached(Step::TempCreated))
        return fail({});

    const std::string& text = ini.Text();
    const size_t half = text.size() / 2;
    const std::string cannotWrite = target + " cannot be written";
    if (!WriteAll(tempFd, text.data(), half))
        return systemFail(cannotWrite);
    if (!Reached(Step::TempPartial))
        return fail({});
    if (!WriteAll(tempFd, text.data() + half, text.size() - half))
        return systemFail(cannotWrite);
    if (!Reached(Step::TempWritten))
        return fail({});
    if (fsync(tempFd) != 0)
        return systemFail(cannotWrite);
    if (!Reached(Step::TempSynced))
        return fail({});
    const int closed = close(tempFd);
    tempFd = -1;
    if (closed != 0)
        return systemFail(cannotWrite);
    if (rename(tempPath.c_str(), target.c_str()) != 0)
        return systemFail(target + " cannot be replaced");

    // The new text is in place; the last steps only make the rename durable.
    Reached(Step::Renamed);
    SyncFolder(folder);
    Reached(Step::FolderSynced);
    close(fd);
    return true;
}

} // namespace oskel
