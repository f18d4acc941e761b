#pragma once

#include "platform/ProfileFile.h"

#include <string>

namespace oskel {

// The program's settings, in the one file shared with the sibling
// application, reached through the four profile functions of the
// application object. A missing file or key gives the default; the file is
// created by the first write. Writes return false when the file could not
// be changed (it is then left exactly as it was).
class CSettingsStore {
public:
    // The settings file of this user (SettingsFilePath()).
    CSettingsStore();
    explicit CSettingsStore(std::string path);

    int GetProfileInt(const std::string& section, const std::string& entry, int nDefault) const;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int nValue);
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& strDefault = std::string()) const;
    bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& strValue);

    const std::string& ProfileName() const { return m_file.Path(); }
    ProfileFile& File() { return m_file; }

private:
    ProfileFile m_file;
};

} // namespace oskel
