#include "app/BrowseCommand.h"

#include "app/DlgChooseFolder.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/MessageBox.h"

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

} // namespace oskel
