#include "app/UploadDialog.h"

#include "app/BrowseCommand.h"
#include "app/DlgAbout.h"

// The Browse and About commands of the main dialog: the folder chooser and
// the About box.
namespace oskel {

void CUploadDialog::OnBrowse()
{
    const std::optional<std::string> folder = ChooseProgramFolder(m_pView, m_strFolder);
    if (!folder)
        return;
    // A folder that cannot be listed would show as empty, as if it held no
    // programs: the user is told, and the program folder stays as it was.
    if (std::string reason; !FolderCanBeListed(*folder, &reason)) {
        ReportUnreadableFolder(*folder, reason);
        return;
    }
    ApplyChosenFolder(*folder);
}

void CUploadDialog::OnAbout()
{
    ShowAboutBox(*m_pHolder, m_pView, m_aboutBoxes);
}

} // namespace oskel
