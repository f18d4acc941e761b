#include "app/BrowseCommand.h"

#include "app/DlgChooseFolder.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "app/MessageText.h"
#include "ui/MessageBox.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace oskel {

std::optional<std::string> ChooseProgramFolder(ui::IOwnerWindow* owner, const std::string& folder,
                                               PlatformInfo& platform)
{
    CDlgChooseFolder chooser(owner, folder, CDlgChooseFolder::OFN_HIDEREADONLY | CDlgChooseFolder::OFN_OVERWRITEPROMPT,
                             platform);
    chooser.m_strPrompt = res::LoadString(res::IDS_CHOOSE_FOLDER_PROMPT);
    if (chooser.DoModal() != ui::IDOK)
        return std::nullopt;
    return chooser.GetFolder(true);
}

bool FolderCanBeListed(const std::string& folder, std::string* reason)
{
    int error = 0;
    if (faccessat(AT_FDCWD, folder.c_str(), R_OK | X_OK, AT_EACCESS) != 0) {
        error = errno;
    } else if (DIR* listing = opendir(folder.c_str())) {
        closedir(listing);
        return true;
    } else {
        error = errno;
    }
    if (reason != nullptr)
        *reason = std::strerror(error);
    return false;
}

void ReportUnreadableFolder(const std::string& folder, const std::string& reason)
{
    ui::AfxMessageBox(FormatMessageText(res::IDS_FOLDER_UNREADABLE, folder) + ": " + reason + ".",
                      ui::MB_ICONEXCLAMATION);
}

} // namespace oskel
