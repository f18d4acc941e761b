#pragma once

#include "app/SettingsStore.h"
#include "app/SingleInstance.h"
#include "app/UploadDialog.h"
#include "camera/CameraHolder.h"
#include "ui/UploadDialogView.h"

#include <functional>
#include <memory>
#include <string>

namespace oskel {

// Exit statuses of a start that ended before the main window was shown.
inline constexpr int kExitStatusNoCamera = 3;
inline constexpr int kExitStatusOtherInstance = 4;

// What a front end hands the application object: how to make the main
// window, and (for tests and demos) where the settings and the camera are.
struct UploaderAppEnvironment {
    // Makes the main dialog's window (not yet created). Required.
    std::function<std::unique_ptr<ui::IUploadDialogView>()> makeView;
    // Makes the camera holder on the settings file; empty: the real serial
    // ports.
    std::function<std::unique_ptr<CCameraHolder>(ProfileFile&)> makeHolder;
    // Makes the main dialog, so a front end may derive from it; empty:
    // CUploadDialog itself.
    std::function<std::unique_ptr<CUploadDialog>(CSettingsStore&, std::unique_ptr<CCameraHolder>)> makeDialog;
    // Empty: the settings file of this user (QUIVRAN.INI).
    std::string settingsPath;
    std::string guardName = kCameraMutexName;
};

// The application object: the single-instance guard, the settings file that
// the whole program uses, and the main dialog, the only top-level window.
//
// A front end calls InitInstance; on true it runs its message loop until
// the main window is destroyed (MainWindowExists() turns false), then
// destroys the application object (or calls ExitInstance), which deletes
// the dialog and so closes the camera link and writes "Port" and "Speed".
class CUploaderApp {
public:
    explicit CUploaderApp(UploaderAppEnvironment environment);
    ~CUploaderApp();
    CUploaderApp(const CUploaderApp&) = delete;
    CUploaderApp& operator=(const CUploaderApp&) = delete;

    // Start-up. False ends the program before any window is shown: another
    // program of the family holds the camera (message 1500 shown), or no
    // camera was connected when the camera-not-found dialog was cancelled
    // (no message). StartExitStatus() then tells which.
    bool InitInstance();
    // The process's exit status after InitInstance returned false, the same
    // as the command line's: kExitStatusOtherInstance when another program
    // of the family holds the camera, kExitStatusNoCamera when no camera was
    // connected (the camera-not-found dialog cancelled); 0 after a start.
    int StartExitStatus() const { return m_startExitStatus; }
    // Destroys the main window if it still exists, then deletes the main
    // dialog and its window object.
    void ExitInstance();

    CUploadDialog* MainDialog() { return m_pMainDialog.get(); }
    ui::IUploadDialogView* MainWindow() { return m_pView.get(); }
    bool MainWindowExists() const { return m_pView != nullptr && m_pView->Exists(); }
    CSettingsStore& Settings() { return m_settings; }
    CSingleInstance& Guard() { return m_guard; }

private:
    UploaderAppEnvironment m_env;
    CSingleInstance m_guard;
    CSettingsStore m_settings;
    std::unique_ptr<ui::IUploadDialogView> m_pView;
    std::unique_ptr<CUploadDialog> m_pMainDialog;
    int m_startExitStatus = 0;
};

} // namespace oskel
