#include "app/DlgChooseFolder.h"

#include "app/DlgFolderName.h"
#include "app/FitPathToWidth.h"
#include "app/MessageText.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/MessageBox.h"

#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace oskel {
namespace {

// Fitted path shown in the New Folder prompt, in characters.
constexpr int kPromptPathLimit = 30;
// Failure code shown when the browser returned without ever opening (E_FAIL).
constexpr uint32_t kBrowserNeverOpened = 0x80004005u;

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return !path.empty() && path.find('\0') == std::string::npos && stat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

int SystemErrorOf(int error)
{
    switch (error) {
    case EEXIST:
        return CDlgChooseFolder::kErrorAlreadyExists;
    case ENAMETOOLONG:
        return CDlgChooseFolder::kErrorFilenameTooLong;
    case ENOENT:
    case ENOTDIR:
        return CDlgChooseFolder::kErrorPathNotFound;
    default:
        return error;
    }
}

} // namespace

CDlgChooseFolder::CDlgChooseFolder(ui::IOwnerWindow* owner, const std::string& initialFolder, unsigned flags,
                                   PlatformInfo& platform)
    : m_bShellBrowser(UsesTreeBrowser(platform.Query()) ? 1 : 0),
      m_pOwner(owner),
      m_platform(platform),
      m_nFlags(flags | OFN_LONGNAMES)
{
    if (!m_bShellBrowser)
        m_nFlags = (m_nFlags | OFN_ENABLETEMPLATE) & ~OFN_EXPLORER;
    SetInitialDir(IsDirectory(initialFolder) ? initialFolder : std::string());
}

bool CDlgChooseFolder::UsesTreeBrowser(const PlatformVersion& version)
{
    return version.posix || version.majorVersion == 4;
}

void CDlgChooseFolder::SetInitialDir(const std::string& text)
{
    m_szInitialDir = text.size() < kMaxPath ? text : std::string();
}

void CDlgChooseFolder::NormaliseInitialDir()
{
    std::string& dir = m_szInitialDir;
    const size_t first = dir.find(kSeparator);
    if (first == std::string::npos)
        dir += kSeparator;
    else if (dir.back() == kSeparator && dir.size() - 1 != first)
        dir.pop_back();
}

int CDlgChooseFolder::DoModal()
{
    const std::unique_ptr<ui::IFolderBrowserView> browser = ui::CreateFolderBrowserView();
    return DoModal(*browser);
}

int CDlgChooseFolder::DoModal(ui::IFolderBrowserView& browser)
{
    NormaliseInitialDir();
    m_strFileName.clear();
    if (const uint32_t code = browser.Prepare(); code != 0)
        return ShowBrowseFailure(browser, code);

    m_pView = &browser;
    std::optional<std::string> chosen;
    for (;;) {
        m_bBrowserOpened = false;
        chosen = browser.Browse(m_pOwner, m_strPrompt, *this);
        SetInitialDir(m_strSelected);
        // A browser that never opened would be reopened for ever.
        if (!m_bBrowserOpened) {
            m_pView = nullptr;
            return ShowBrowseFailure(browser, kBrowserNeverOpened);
        }
        if (m_pBrowser != nullptr)
            break;
    }
    m_pBrowser = nullptr;
    m_pView = nullptr;

    if (!chosen || chosen->empty())
        return ui::IDCANCEL;
    m_strFileName = *chosen;
    if (!m_bShellBrowser) {
        if (m_strFileName.back() != kSeparator)
            m_strFileName += kSeparator;
        m_strFileName += kPlaceholderName;
    }
    return ui::IDOK;
}

int CDlgChooseFolder::ShowBrowseFailure(ui::IFolderBrowserView& browser, uint32_t code)
{
    browser.Beep();
    ui::AfxMessageBox(FormatMessageCode(res::IDS_BROWSE_FAILED, code), ui::MB_OK | ui::MB_ICONHAND, 0);
    return ui::IDCANCEL;
}

void CDlgChooseFolder::OnInitialized()
{
    if (m_pView == nullptr)
        return;
    m_bBrowserOpened = true;
    m_pBrowser = m_pView;
    m_pBrowser->EnableNewFolder(!m_strSelected.empty());
    m_pBrowser->SetSelection(m_szInitialDir);
}

void CDlgChooseFolder::OnSelectionChanged(const std::optional<std::string>& path)
{
    const bool usable = path && !path->empty();
    if (usable)
        m_strSelected = *path;
    if (m_pBrowser != nullptr)
        m_pBrowser->EnableNewFolder(usable);
}

void CDlgChooseFolder::OnNewFolder()
{
    ui::IFolderBrowserView* browser = m_pBrowser;
    if (browser == nullptr || m_strSelected.empty())
        return;
    const std::string fitted = FitPathToWidth(m_strSelected, kPromptPathLimit);
    CDlgFolderName box(browser->Window(), res::LoadString(res::IDS_NEW_FOLDER),
                       FormatMessageText(res::IDS_NEW_FOLDER_PROMPT, fitted));
    if (box.DoModal() != ui::IDOK || box.m_strValue.empty())
        return;

    std::string path = m_strSelected;
    if (path.back() != kSeparator)
        path += kSeparator;
    path += box.m_strValue;
    if (!CreateFolder(path))
        return;

    m_strSelected = path;
    browser->NotifyFolderCreated(path);
    m_pBrowser = nullptr;
    browser->PostOK();
}

std::string CDlgChooseFolder::GetFolder(bool trailingSeparator) const
{
    std::string folder = m_strFileName;
    if (!m_bShellBrowser) {
        const size_t last = folder.rfind(kSeparator);
        folder = last == std::string::npos ? std::string() : folder.substr(0, last + 1);
    }
    if (trailingSeparator) {
        if (folder.empty() || folder.back() != kSeparator)
            folder += kSeparator;
    } else if (folder.size() > 1 && folder.back() == kSeparator) {
        folder.pop_back();
    }
    return folder;
}

int CDlgChooseFolder::CreateFolder(const std::string& path)
{
    int error = 0;
    if (IsDirectory(path))
        error = kErrorAlreadyExists;
    else if (path.size() >= kMaxPath)
        error = kErrorFilenameTooLong;
    else if (path.empty() || path.find('\0') != std::string::npos)
        error = kErrorPathNotFound;
    else if (mkdir(path.c_str(), 0777) == 0)
        return 1;
    else
        error = SystemErrorOf(errno);

    std::string message;
    if (error == kErrorPathNotFound && m_platform.IsWin32s())
        message = FormatMessageText(res::IDS_CREATE_FOLDER_DOS_NAME, path);
    else if (error == kErrorAlreadyExists)
        message = res::LoadString(res::IDS_FOLDER_EXISTS);
    else if (error == kErrorFilenameTooLong)
        message = res::LoadString(res::IDS_FOLDER_NAME_TOO_LONG);
    else
        message = FormatMessageText(res::IDS_CREATE_FOLDER_FAILED, path);
    ui::AfxMessageBox(message, ui::MB_OK, 0);
    errno = 0;
    return 0;
}

} // namespace oskel
