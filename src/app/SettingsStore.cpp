#include "app/SettingsStore.h"

namespace oskel {

CSettingsStore::CSettingsStore() : m_file(SettingsFilePath()) {}

CSettingsStore::CSettingsStore(std::string path) : m_file(std::move(path)) {}

void CSettingsStore::SetSaveFailureReport(std::function<void(const std::string& line)> report)
{
    if (!report) {
        m_file.SetFailureReport(nullptr);
        return;
    }
    m_file.SetFailureReport([report = std::move(report), told = std::string()](const std::string& reason) mutable {
        if (reason == told)
            return;
        told = reason;
        report(kSaveFailedText + reason);
    });
}

int CSettingsStore::GetProfileInt(const std::string& section, const std::string& entry, int nDefault) const
{
    return m_file.GetInt(section, entry, nDefault);
}

bool CSettingsStore::WriteProfileInt(const std::string& section, const std::string& entry, int nValue)
{
    return m_file.WriteInt(section, entry, nValue);
}

std::string CSettingsStore::GetProfileString(const std::string& section, const std::string& entry,
                                             const std::string& strDefault) const
{
    return m_file.GetString(section, entry, strDefault);
}

bool CSettingsStore::WriteProfileString(const std::string& section, const std::string& entry,
                                        const std::string& strValue)
{
    return m_file.WriteString(section, entry, strValue);
}

} // namespace oskel
