#pragma once

#include "ui/OwnerWindow.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace oskel::ui {

// What the folder browser tells the folder chooser (CDlgChooseFolder) while
// it runs.
class IFolderBrowserEvents {
public:
    virtual ~IFolderBrowserEvents() = default;
    // The browser's window is up, with its tree and its New Folder button.
    virtual void OnInitialized() = 0;
    // The selection moved: the selected folder's path, or nullopt when the
    // selection is not a folder of the file system.
    virtual void OnSelectionChanged(const std::optional<std::string>& path) = 0;
    // The New Folder button was pressed.
    virtual void OnNewFolder() = 0;
};

// The tree browser of the file system's folders: a prompt above a folder
// tree, a New Folder button (string 4722), OK and Cancel.
class IFolderBrowserView {
public:
    virtual ~IFolderBrowserView() = default;

    // Makes the browser's services ready. 0 on success, else a failure code
    // that the chooser shows to the user.
    virtual uint32_t Prepare() = 0;

    // Runs the browser modally with `title` above the tree, owned by `owner`
    // (null: no owner). Calls OnInitialized once its window is up; when the
    // window cannot be made, returns without calling it. Returns the path of
    // the folder chosen with OK, or nullopt for Cancel.
    virtual std::optional<std::string> Browse(IOwnerWindow* owner, const std::string& title,
                                              IFolderBrowserEvents& events) = 0;

    // While the browser runs:
    // Selects the folder at path (and shows it), as far as it exists.
    virtual void SetSelection(const std::string& path) = 0;
    virtual void EnableNewFolder(bool enable) = 0;
    // Presses OK on the user's behalf, once the current event is handled.
    virtual void PostOK() = 0;
    // A folder was created at path; the tree shows it.
    virtual void NotifyFolderCreated(const std::string& path) = 0;
    // The browser's window, as the owner of the boxes it opens.
    virtual IOwnerWindow* Window() = 0;

    // The error sound (stop icon).
    virtual void Beep() = 0;
};

// Makes the folder browsers of a front end.
class IFolderBrowserViewFactory {
public:
    virtual ~IFolderBrowserViewFactory() = default;
    virtual std::unique_ptr<IFolderBrowserView> CreateFolderBrowserView() = 0;
};

// Installs the front end's factory (null restores the default: a front end
// without windows has no browser, and Prepare fails with kNoFolderBrowser).
void SetFolderBrowserViewFactory(IFolderBrowserViewFactory* factory);
std::unique_ptr<IFolderBrowserView> CreateFolderBrowserView();

// The failure code of a browser that is not available (E_NOTIMPL).
constexpr uint32_t kNoFolderBrowser = 0x80004001u;

} // namespace oskel::ui
