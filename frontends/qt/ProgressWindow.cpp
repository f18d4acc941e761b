#include "ProgressWindow.h"

#include "res/DialogTemplates.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QWindow>

namespace oskel::qt {

void QtOwnerWindow::EnableWindow(bool enable)
{
    if (m_widget != nullptr)
        m_widget->setEnabled(enable);
}

bool QtOwnerWindow::IsWindowEnabled() const
{
    return m_widget != nullptr && m_widget->isEnabled();
}

CProgressWindow::CProgressWindow(std::function<void()> onCancel)
    : CTemplateDialog(res::IDD_PROGRESS, nullptr), m_onCancel(std::move(onCancel))
{
}

QLabel* CProgressWindow::Message() const
{
    return Item<QLabel>(IDC_MESSAGE);
}

QProgressBar* CProgressWindow::Bar() const
{
    return Item<QProgressBar>(IDC_BAR);
}

void CProgressWindow::RequestCancel()
{
    ++m_cancelRequests;
    if (m_onCancel)
        m_onCancel();
}

QtProgressView::~QtProgressView()
{
    Destroy();
}

bool QtProgressView::Create(ui::IOwnerWindow* owner, std::function<void()> onCancel)
{
    if (m_window != nullptr)
        return false;
    m_window = std::make_unique<CProgressWindow>(std::move(onCancel));
    auto* qtOwner = dynamic_cast<QtOwnerWindow*>(owner);
    QWidget* over = qtOwner != nullptr && qtOwner->Widget() != nullptr ? qtOwner->Widget()->window()
                                                                       : QApplication::activeWindow();
    if (over != nullptr) {
        m_window->winId(); // makes the native window, so it can be told its owner
        if (QWindow* handle = m_window->windowHandle(); handle != nullptr && over->windowHandle() != nullptr)
            handle->setTransientParent(over->windowHandle());
        m_window->move(over->geometry().center() - m_window->rect().center());
    }
    return true;
}

bool QtProgressView::Destroy()
{
    if (m_window == nullptr)
        return false;
    m_window->hide();
    m_window.reset();
    return true;
}

void QtProgressView::Show(bool show)
{
    if (m_window != nullptr)
        m_window->setVisible(show);
}

bool QtProgressView::IsVisible() const
{
    return m_window != nullptr && m_window->isVisible();
}

void QtProgressView::Repaint()
{
    if (m_window != nullptr)
        m_window->repaint();
}

void QtProgressView::SetCaption(const std::string& text)
{
    if (m_window != nullptr)
        m_window->setWindowTitle(ToQt(text));
}

void QtProgressView::SetMessage(const std::string& text)
{
    if (m_window != nullptr && m_window->Message() != nullptr)
        m_window->Message()->setText(ToQt(text));
}

void QtProgressView::SetBarRange(int low, int high)
{
    if (m_window != nullptr && m_window->Bar() != nullptr)
        m_window->Bar()->setRange(low, high);
}

void QtProgressView::SetBarPos(int pos)
{
    if (m_window != nullptr && m_window->Bar() != nullptr)
        m_window->Bar()->setValue(pos);
}

} // namespace oskel::qt
