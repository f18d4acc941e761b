#pragma once

#include "TemplateDialog.h"
#include "ui/InputBoxView.h"

#include <memory>

namespace oskel::qt {

// The input box's window, built from template 5320; its commands go to the
// core's dialog (CDlgInputBox), which ends it.
class CInputBoxWindow final : public CTemplateDialog, public ui::IInputBoxView {
    Q_OBJECT
public:
    CInputBoxWindow();

    int DoModal(ui::IOwnerWindow* owner, ui::IInputBoxHandler& handler) override;
    std::string GetItemText(int id) const override { return GetDlgItemText(id); }
    void SetItemText(int id, const std::string& text) override { SetDlgItemText(id, text); }
    void SetCaption(const std::string& text) override { setWindowTitle(ToQt(text)); }
    void CenterWindow() override;
    void GotoDlgCtrl(int id) override;
    void EndDialog(int result) override { done(result); }

protected:
    void OnOK() override;
    void OnCancel() override;

private:
    ui::IInputBoxHandler* m_pHandler = nullptr;
};

class QtInputBoxViewFactory final : public ui::IInputBoxViewFactory {
public:
    std::unique_ptr<ui::IInputBoxView> CreateInputBoxView() override;
};

} // namespace oskel::qt
