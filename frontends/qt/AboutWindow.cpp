#include "AboutWindow.h"

#include "WindowOwner.h"
#include "res/DialogTemplates.h"

#include <QCoreApplication>

namespace oskel::qt {

CAboutWindow::CAboutWindow() : CTemplateDialog(res::IDD_ABOUT) {}

bool CAboutWindow::Create(ui::IOwnerWindow* owner, std::function<void(bool)> onShowWindow)
{
    if (m_bCreated)
        return false;
    m_pOwner = dynamic_cast<QWidget*>(owner);
    m_onShowWindow = std::move(onShowWindow);
    setModal(false);
    PlaceAbove(*this, m_pOwner);
    m_bCreated = true;
    return true;
}

void CAboutWindow::Show()
{
    show();
    raise();
    activateWindow();
}

void CAboutWindow::Repaint()
{
    // The camera is contacted next, on this thread: paint the box now.
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CAboutWindow::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    if (m_onShowWindow)
        m_onShowWindow(true);
}

void CAboutWindow::hideEvent(QHideEvent* event)
{
    CTemplateDialog::hideEvent(event);
    if (m_onShowWindow)
        m_onShowWindow(false);
}

std::unique_ptr<ui::IAboutView> QtAboutViewFactory::CreateAboutView()
{
    return std::make_unique<CAboutWindow>();
}

} // namespace oskel::qt
