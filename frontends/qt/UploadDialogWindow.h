#pragma once

#include "TemplateDialog.h"
#include "ui/UploadDialogView.h"

#include <QPointer>

#include <optional>
#include <string>

class QMenu;

namespace oskel::qt {

// The main dialog's window, made from template 102 (with the minimize box and
// without the modal frame, as the main window is created): the yellow
// information panel, the folder label, the two lists, the drawn UPLOAD button
// and the Browse, Remove and Close buttons. It draws what CUploadDialog
// tells it and passes the user's actions back as the dialog's events.
//
// The window manager's menu cannot be extended on Linux, so the About entry
// stands in the window's context menu (right click anywhere in the window)
// and on F1; both send the About command as the system menu would.
class CUploadDialogWindow final : public CTemplateDialog, public ui::IUploadDialogView {
    Q_OBJECT
public:
    explicit CUploadDialogWindow(QWidget* parent = nullptr);
    ~CUploadDialogWindow() override;

    // IUploadDialogView.
    bool Create(ui::IUploadDialogEvents& events) override;
    void Show() override;
    void DestroyWindow() override;
    void PostClose() override;
    void SetBusy(bool busy) override;
    bool Exists() const override { return m_bCreated && !m_bDestroyed; }
    ui::Rect GetWindowRect() const override;
    void SetWindowRect(const ui::Rect& rect) override;
    ui::Rect GetNormalRect(int* showState) const override;
    ui::Rect GetScreenRect() const override;
    // False on Wayland, where the compositor places windows and tells no one.
    bool KnowsWindowPosition() const override;
    void AppendAboutItem(const std::string& text) override;
    void SetUpUploadButton() override;
    void SetInfoColors(uint32_t background, uint32_t text) override;
    void SetItemText(int id, const std::string& text) override;
    std::string GetItemText(int id) const override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) const override;
    int GetClientWidth(int id) const override;
    int MeasureItemText(int id, std::string_view text) const override;
    void BindList(int id, ui::ListModel& model) override;
    void EnableWindow(bool enable) override;
    bool IsWindowEnabled() const override;

    // The window's menu as it stands (null until it has an entry); shown by
    // a right click.
    QMenu* WindowMenu() const { return m_pMenu; }

signals:
    // The window has been destroyed: the application's main loop may end.
    void WindowDestroyed();

protected:
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void OnUnitsChanged() override;

private:
    void SysCommand(unsigned id);
    void KeepFrameInScreen();
    void ApplyEnabled();

    ui::IUploadDialogEvents* m_pEvents = nullptr;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bPlaced = false;
    bool m_bFrameKept = false;
    // Enabled as the dialogs it owns leave it, and not busy with a command.
    bool m_bOwnerEnabled = true;
    bool m_bBusy = false;
    QPointer<QWidget> m_pFocusBeforeBusy;
    // Opened where GetWindowRect offered (no saved place): centred.
    bool m_bCentre = false;
    ui::Rect m_requested; // the frame SetWindowRect asked for
    int m_framePolls = 0;
    mutable std::optional<ui::Rect> m_centred;
    QMenu* m_pMenu = nullptr;
};

} // namespace oskel::qt
