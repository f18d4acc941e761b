#pragma once

#include "app/DlgAbout.h"
#include "app/SettingsStore.h"
#include "camera/CameraHolder.h"
#include "programs/ProgramCatalog.h"
#include "ui/UploadDialogView.h"

#include <memory>
#include <string>

namespace oskel {

class CProgramTransfer;

// The program's main window: the applications in the program folder beside
// those in the camera, with the buttons that upload, remove and change the
// folder. Owns the camera holder (and through it the connection) and the
// catalogs for the whole run. The window is the front end's view; this class
// keeps the behaviour and drives the view.
//
// Lifecycle: construct (reads "OPFFolder") -> Create (acquires the camera;
// false without one) -> the front end shows the view and runs its loop ->
// a close request sets m_bClosing and destroys the window (position saved)
// -> the owner deletes the object, which deletes the holder (link closed,
// "Port" and "Speed" written).
//
// One command at a time: UPLOAD, Remove, Browse and About run under one
// guard (RunCommand). While a command runs the window is busy (disabled, so
// the toolkit drops the user's clicks and keys), and whatever still reaches
// the dialog (an accessibility action, a posted message, Enter or Escape)
// is refused, not kept for later. Only a close request (Close, the close
// box, a signal) is kept: the window closes as soon as the command is over.
class CUploadDialog : public ui::IUploadDialogEvents {
public:
    static constexpr int IDD = 102;
    static constexpr int IDC_FOLDER_LABEL = 1000;
    static constexpr int IDC_INFO = 1001;
    static constexpr int IDC_FOLDER_LIST = 1004;
    static constexpr int IDC_CAMERA_LIST = 1005;
    static constexpr int IDC_BROWSE = 1006;
    static constexpr int IDC_REMOVE = 1007;
    static constexpr int IDC_UPLOAD = 1008;
    static constexpr int IDC_CLOSE = 1009;
    // The About entry of the window's menu, and the toolkit's About command.
    static constexpr unsigned IDM_ABOUTBOX = 0x0010;
    static constexpr unsigned ID_APP_ABOUT = 0xE140;
    static constexpr int kIconId = 128;

    static constexpr uint32_t kInfoBackground = 0x0080FFFF; // RGB(255, 255, 128)
    static constexpr uint32_t kInfoText = 0x00000000;

    static const char* const kSection;     // "UploadDialog"
    static const char* const kPositionKey; // "AppPosition"
    static const char* const kFolderKey;   // "OPFFolder"

    // settings must outlive the dialog; the holder's connection reads and
    // writes its keys through the same file.
    CUploadDialog(CSettingsStore& settings, std::unique_ptr<CCameraHolder> holder);
    ~CUploadDialog() override;
    CUploadDialog(const CUploadDialog&) = delete;
    CUploadDialog& operator=(const CUploadDialog&) = delete;

    // Acquires the camera (releasing it at once): false, with no window and
    // no message, when none is connected. Warns of a low battery, then
    // creates the window through view (which must outlive the dialog's
    // window) and fills it. False also when the view fails.
    bool Create(ui::IUploadDialogView& view);

    // IUploadDialogEvents.
    bool OnInitDialog() override;
    void OnCommand(int id, int notification) override;
    bool OnSysCommand(unsigned id) override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;
    void OnDestroy() override;

    // The button handlers. OnBrowse runs the folder chooser; OnAbout opens a
    // new About box.
    virtual void OnBrowse();
    virtual void OnAbout();
    void OnUpload();
    void OnRemove();

    // UPLOAD exactly while the folder list has a selection; Remove exactly
    // while the camera list has one.
    void EnableUploadByFolderSelection();
    void EnableRemoveByCameraSelection();

    // The folder label shows path fitted to its width in its font.
    void SetPathLabel(const std::string& path);
    // After the user chose a folder: keeps it (with a trailing '/'), writes
    // "OPFFolder", shows it and rescans the folder list. The camera list is
    // not touched.
    void ApplyChosenFolder(const std::string& folder);

    const std::string& Folder() const { return m_strFolder; }
    bool IsClosing() const { return m_bClosing; }
    // A command is under way.
    bool IsBusy() const { return m_bBusy; }
    CCameraHolder& Holder() { return *m_pHolder; }
    ProgramCatalog& Catalog() { return m_catalog; }
    CSettingsStore& Settings() { return m_settings; }
    // The window, once created (null before); owner of the dialogs the
    // buttons open.
    ui::IUploadDialogView* View() { return m_pView; }

    // The current directory with '/' appended; $HOME/ or "/" when it
    // cannot be read.
    static std::string DefaultFolder();

private:
    // Runs one of the window's commands under the guard; refused (false)
    // while another one runs. A close request kept meanwhile is carried out
    // when it ends.
    bool RunCommand(void (CUploadDialog::*command)());

    CSettingsStore& m_settings;
    std::unique_ptr<CCameraHolder> m_pHolder;
    std::string m_strFolder;
    ProgramCatalog m_catalog;
    bool m_bClosing = false;
    bool m_bBusy = false;
    bool m_bCloseWhenIdle = false;
    ui::IUploadDialogView* m_pView = nullptr;
    // Every About box opened; they go with the window.
    AboutBoxes m_aboutBoxes;
    std::unique_ptr<CProgramTransfer> m_pTransfer;
};

} // namespace oskel
