#pragma once

#include "ui/FolderBrowserView.h"
#include "ui/OwnerWindow.h"

#include <QDialog>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace oskel::qt {

// The tree browser of the folder chooser: the prompt above a tree of the
// file system's folders (from "/" down, hidden folders left out), the New
// Folder button under the tree's left edge, OK and Cancel. The chooser
// (CDlgChooseFolder) is told of its opening, of each selection change and
// of New Folder; the window is also the owner of the name box.
class CFolderBrowserWindow final : public QDialog, public ui::IFolderBrowserView, public ui::IOwnerWindow {
    Q_OBJECT
public:
    CFolderBrowserWindow();

    uint32_t Prepare() override { return 0; }
    std::optional<std::string> Browse(ui::IOwnerWindow* owner, const std::string& title,
                                      ui::IFolderBrowserEvents& events) override;
    void SetSelection(const std::string& path) override;
    void EnableNewFolder(bool enable) override;
    void PostOK() override;
    void NotifyFolderCreated(const std::string& path) override;
    ui::IOwnerWindow* Window() override { return this; }
    void Beep() override;

    void EnableWindow(bool enable) override { setEnabled(enable); }
    bool IsWindowEnabled() const override { return isEnabled(); }

    // The text above the tree (hidden when empty).
    void SetPrompt(const std::string& text);

    QTreeView* Tree() const { return m_pTree; }
    QPushButton* NewFolderButton() const { return m_pNewFolder; }
    QPushButton* OkButton() const { return m_pOK; }
    // The folder selected in the tree, "" when none.
    std::string SelectedPath() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SizeToFont();
    // Once the window manager reports this window's own frame (a resizable
    // window's is taller than a fixed one's, by its resize handle), the
    // window is made to fit the screen with it and centred again.
    void KeepFrameInScreen();
    void OnCurrentChanged();
    void OnDirectoryLoaded(const QString& folder);
    // Shows the tree's contents, scrolled to the current folder.
    void RevealTree();
    // Scrolls the folder the program selected back into view, until the
    // user moves on.
    void KeepShownFolderInView();

    QLabel* m_pPrompt;
    QTreeView* m_pTree;
    QFileSystemModel* m_pModel;
    QPushButton* m_pNewFolder;
    QPushButton* m_pOK;
    ui::IFolderBrowserEvents* m_pEvents = nullptr;
    bool m_bInitialised = false;
    // The folder the program selected; it is kept in view while the folders
    // above it are still being read.
    QString m_strShownFolder;
    QTimer m_reveal;
    int m_framePolls = 0;
    // The folders whose contents the model has read.
    QSet<QString> m_loaded;
};

class QtFolderBrowserViewFactory final : public ui::IFolderBrowserViewFactory {
public:
    std::unique_ptr<ui::IFolderBrowserView> CreateFolderBrowserView() override;
};

} // namespace oskel::qt
