#include "AboutWindow.h"

#include "WindowOwner.h"
#include "res/DialogTemplates.h"

#include <QCoreApplication>
#include <QScreen>

namespace oskel::qt {

void CentreOver(QWidget& window, const QWidget* owner)
{
    const QScreen* screen = owner != nullptr ? owner->screen() : window.screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect over = owner != nullptr ? owner->frameGeometry() : area;
    QRect placed(QPoint(0, 0), window.frameGeometry().size());
    placed.moveCenter(over.center());
    if (area.isValid()) {
        placed.moveRight(std::min(placed.right(), area.right()));
        placed.moveBottom(std::min(placed.bottom(), area.bottom()));
        placed.moveLeft(std::max(placed.left(), area.left()));
        placed.moveTop(std::max(placed.top(), area.top()));
    }
    window.move(placed.topLeft());
}

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
