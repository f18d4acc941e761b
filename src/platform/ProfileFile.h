#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace oskel {

// The settings file shared with the sibling application.
inline constexpr const char* kSettingsFileName = "QUIVRAN.INI";

// Where a bare profile file name lives: $XDG_CONFIG_HOME/<name>, or
// $HOME/.config/<name> when XDG_CONFIG_HOME is unset, empty or relative.
std::string ProfileFilePath(std::string_view fileName);

// ProfileFilePath(kSettingsFileName).
std::string SettingsFilePath();

// One profile (INI) file, read and written with the classic profile rules
// (see IniText).
//
// Reads never fail: a missing, unreadable or oversized file, or a directory
// in its place, reads as empty, so every key gives its default.
//
// A write changes one key and keeps everything else byte for byte. It takes
// an advisory lock (flock) on the file, re-reads it, writes the new text to a
// temporary file beside it, flushes that to disk, renames it over the file
// and flushes the folder. Whatever happens on the way (a crash, a full disk),
// the file holds either the old or the new text, never part of one. A file
// that exists but cannot be read is never replaced. A symbolic link is
// followed and its target replaced, so the link survives; but folders are
// only ever made for the file's own place, never along a link's target (a
// link into a folder that does not exist cannot be written).
class ProfileFile {
public:
    // The points of a write, in order, where a test may stop it.
    enum class Step {
        Locked,         // the lock is held, nothing read yet
        Read,           // the current text has been read
        TempCreated,    // the temporary file exists, empty
        TempPartial,    // half of the new text is in the temporary file
        TempWritten,    // all of it, not yet flushed
        TempSynced,     // flushed to disk
        Renamed,        // the temporary file has replaced the old one
        FolderSynced,   // the rename is on disk; the lock is still held
    };
    // Called at each step; returning false makes the write fail there, as a
    // failed system call would (the temporary file is removed). From Renamed
    // on the new text is in place and the answer is ignored.
    using StepHook = std::function<bool(Step)>;

    // Files larger than this are not read (and therefore never rewritten).
    static constexpr size_t kMaxFileSize = 4u << 20;

    explicit ProfileFile(std::string path);

    const std::string& Path() const { return m_path; }

    // nullopt when the key is absent or has no value.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;

    // The classic integer reading: the default when the key is absent or its
    // value is empty; otherwise an optional sign and the decimal digits up
    // to the first other character ("12abc" is 12, "abc" is 0), limited to
    // the 32-bit range.
    int GetInt(std::string_view section, std::string_view key, int def) const;
    static int ParseInt(std::string_view text);

    // True when the file holds the new value. The file and its folder are
    // created by the first write. A failed write is reported (below).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

    // Called with the reason each time a write fails, e.g. "/home/u/.config
    // /QUIVRAN.INI cannot be opened: Permission denied".
    using FailureReport = std::function<void(const std::string& reason)>;
    void SetFailureReport(FailureReport report) { m_report = std::move(report); }

    void SetStepHook(StepHook hook) { m_hook = std::move(hook); }

private:
    bool Reached(Step step) const { return !m_hook || m_hook(step); }
    bool Write(std::string_view section, std::string_view key, std::string_view value, std::string* why);

    std::string m_path;
    StepHook m_hook;
    FailureReport m_report;
};

} // namespace oskel
