#include "InputBoxWindow.h"

#include "WindowOwner.h"
#include "res/DialogTemplates.h"
#include "ui/MessageBox.h"

#include <QLineEdit>

namespace oskel::qt {

CInputBoxWindow::CInputBoxWindow() : CTemplateDialog(res::IDD_INPUT_BOX) {}

int CInputBoxWindow::DoModal(ui::IOwnerWindow* owner, ui::IInputBoxHandler& handler)
{
    if (auto* ownerWidget = dynamic_cast<QWidget*>(owner))
        setParent(ownerWidget->window(), windowFlags());
    setModal(true);
    m_pHandler = &handler;
    handler.OnInitDialog();
    const int result = exec();
    m_pHandler = nullptr;
    setParent(nullptr, windowFlags());
    return result == ui::IDOK ? ui::IDOK : ui::IDCANCEL;
}

void CInputBoxWindow::CenterWindow()
{
    CentreOver(*this, parentWidget());
}

void CInputBoxWindow::GotoDlgCtrl(int id)
{
    QWidget* control = GetDlgItem(id);
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

void CInputBoxWindow::OnOK()
{
    if (m_pHandler != nullptr)
        m_pHandler->OnOK();
    else
        CTemplateDialog::OnOK();
}

void CInputBoxWindow::OnCancel()
{
    if (m_pHandler != nullptr)
        m_pHandler->OnCancel();
    else
        CTemplateDialog::OnCancel();
}

std::unique_ptr<ui::IInputBoxView> QtInputBoxViewFactory::CreateInputBoxView()
{
    return std::make_unique<CInputBoxWindow>();
}

} // namespace oskel::qt
