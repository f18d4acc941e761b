#include "app/DlgFolderName.h"

#include "app/MessageText.h"
#include "res/StringIds.h"
#include "ui/MessageBox.h"

namespace oskel {

bool CDlgFolderName::IsValidName(std::string_view name)
{
    return name.find_first_of(kInvalidChars) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

void CDlgFolderName::DoDataExchange(CDataExchange& dx)
{
    CDlgInputBox::DoDataExchange(dx);
    if (dx.Failed() || !dx.Saving() || IsValidName(m_strValue))
        return;
    ui::AfxMessageBox(FormatMessageText(res::IDS_FOLDER_NAME_CHARS, std::string(kInvalidChars)), ui::MB_OK, 0);
    dx.Fail();
}

} // namespace oskel
