#pragma once

#include "platform/PlatformInfo.h"
#include "ui/FolderBrowserView.h"
#include "ui/OwnerWindow.h"

#include <cstddef>
#include <optional>
#include <string>

namespace oskel {

// The modal folder picker of the Browse command, with a New Folder button
// that creates a subfolder of the current choice and shows it at once.
//
// Paths on this system. The chooser was laid out for drive paths such as
// C:\Data\; here the separator is '/' and there are no drive letters, so
// every rule about the backslash applies to '/', and the file system's root
// "/" takes the place of a drive root "C:\": the root keeps its separator
// whether or not one is asked for, and an initial folder that cannot be used
// gives "/". A name without any '/' (a folder of the current directory) gets
// one appended, as "C:" became "C:\".
//
// Variants. The tree browser is used where the platform reports major
// version 4, and on every POSIX system; elsewhere the classic open-file
// variant would be chosen. That dialog does not exist on this platform, so
// the tree browser stands in for it and its result is kept in the classic
// form (the folder followed by the placeholder file name).
class CDlgChooseFolder : public ui::IFolderBrowserEvents {
public:
    // Option flags of the open-file dialog.
    static constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
    static constexpr unsigned OFN_HIDEREADONLY = 0x4;
    static constexpr unsigned OFN_ENABLETEMPLATE = 0x40;
    static constexpr unsigned OFN_EXPLORER = 0x00080000;
    static constexpr unsigned OFN_LONGNAMES = 0x00200000;

    static constexpr int IDC_NEW_FOLDER = 4720;
    static constexpr char kSeparator = '/';
    static constexpr const char* kPlaceholderName = "~x~x~x~x.xxx";
    // The initial-folder buffer holds this many characters with its
    // terminator. A longer initial folder is not cut short (that could name
    // another folder): it is treated like one that does not exist.
    static constexpr size_t kMaxPath = 260;

    // System error codes that CreateFolder tells apart.
    static constexpr int kErrorPathNotFound = 3;
    static constexpr int kErrorAlreadyExists = 183;
    static constexpr int kErrorFilenameTooLong = 206;

    // owner: the window the chooser belongs to (null: none). initialFolder is
    // used only when it names an existing directory.
    CDlgChooseFolder(ui::IOwnerWindow* owner, const std::string& initialFolder, unsigned flags,
                     PlatformInfo& platform = LinuxPlatformInfo::Instance());
    ~CDlgChooseFolder() override = default;
    CDlgChooseFolder(const CDlgChooseFolder&) = delete;
    CDlgChooseFolder& operator=(const CDlgChooseFolder&) = delete;

    // IDOK when a folder was chosen, else IDCANCEL.
    int DoModal();
    int DoModal(ui::IFolderBrowserView& browser);

    // The chosen folder, ending with a separator or without one (the root
    // "/" always keeps its own).
    std::string GetFolder(bool trailingSeparator) const;

    // Creates one folder; on failure tells the user why and returns 0.
    int CreateFolder(const std::string& path);

    // Which variant a platform gets.
    static bool UsesTreeBrowser(const PlatformVersion& version);

    unsigned Flags() const { return m_nFlags; }
    const std::string& InitialDir() const { return m_szInitialDir; }

    void OnInitialized() override;
    void OnSelectionChanged(const std::optional<std::string>& path) override;
    void OnNewFolder() override;

    int m_bShellBrowser;
    // The text shown above the tree; the caller sets it before DoModal.
    std::string m_strPrompt;
    std::string m_strSelected;

private:
    void SetInitialDir(const std::string& text);
    void NormaliseInitialDir();
    int ShowBrowseFailure(ui::IFolderBrowserView& browser, uint32_t code);

    ui::IOwnerWindow* m_pOwner;
    PlatformInfo& m_platform;
    unsigned m_nFlags;
    std::string m_szInitialDir;
    // The browser while it is open; null asks DoModal to open it again.
    ui::IFolderBrowserView* m_pBrowser = nullptr;
    ui::IFolderBrowserView* m_pView = nullptr;
    bool m_bBrowserOpened = false;
    // The dialog's result: the chosen folder (classic variant: followed by
    // the placeholder file name).
    std::string m_strFileName;
};

} // namespace oskel
