#pragma once

#include "platform/ProfileFile.h"

#include <functional>
#include <string>

namespace oskel {

// The program's settings, in the one file shared with the sibling
// application, reached through the four profile functions of the
// application object. A missing file or key gives the default; the file is
// created by the first write. Writes return false when the file could not
// be changed (it is then left exactly as it was).
//
// A front end hears of such a failure through SetSaveFailureReport: one line
// for the user, "The settings could not be saved: <reason>", once for each
// reason (the connection writes several keys in a row), from any write made
// through the store or its File().
class CSettingsStore {
public:
    static constexpr const char* kSaveFailedText = "The settings could not be saved: ";
    // The settings file of this user (SettingsFilePath()).
    CSettingsStore();
    explicit CSettingsStore(std::string path);

    int GetProfileInt(const std::string& section, const std::string& entry, int nDefault) const;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int nValue);
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& strDefault = std::string()) const;
    bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& strValue);

    void SetSaveFailureReport(std::function<void(const std::string& line)> report);

    const std::string& ProfileName() const { return m_file.Path(); }
    ProfileFile& File() { return m_file; }

private:
    ProfileFile m_file;
};

} // namespace oskel
