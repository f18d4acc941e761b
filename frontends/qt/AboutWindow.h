#pragma once

#include "TemplateDialog.h"
#include "ui/AboutView.h"

#include <functional>
#include <memory>

namespace oskel::qt {

// The About box's window, built from template 100. It is a window of its
// own rather than a child of the main dialog: the main dialog is disabled
// while the box is visible, and a disabled window disables its children.
// OK, Escape and the close box only hide it.
class CAboutWindow final : public CTemplateDialog, public ui::IAboutView {
    Q_OBJECT
public:
    CAboutWindow();

    bool Create(ui::IOwnerWindow* owner, std::function<void(bool shown)> onShowWindow) override;
    bool Exists() const override { return m_bCreated; }
    void Show() override;
    bool IsVisible() const override { return isVisible(); }
    void Repaint() override;
    void SetItemText(int id, const std::string& text) override { SetDlgItemText(id, text); }

protected:
    void OnOK() override { hide(); }
    void OnCancel() override { hide(); }
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_bCreated = false;
    QWidget* m_pOwner = nullptr;
    std::function<void(bool)> m_onShowWindow;
};

class QtAboutViewFactory final : public ui::IAboutViewFactory {
public:
    std::unique_ptr<ui::IAboutView> CreateAboutView() override;
};

} // namespace oskel::qt
