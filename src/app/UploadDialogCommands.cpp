#include "app/UploadDialog.h"

#include "app/BrowseCommand.h"
#include "app/DlgAbout.h"

// The Browse and About commands of the main dialog: the folder chooser and
// the About box.
namespace oskel {

void CUploadDialog::OnBrowse()
{
    if (const std::optional<std::string> folder = ChooseProgramFolder(m_pView, m_strFolder))
        ApplyChosenFolder(*folder);
}

void CUploadDialog::OnAbout()
{
    ShowAboutBox(*m_pHolder, m_pView, m_aboutBoxes);
}

} // namespace oskel
