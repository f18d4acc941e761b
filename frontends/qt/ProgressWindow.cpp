#include "ProgressWindow.h"

#include "WindowOwner.h"
#include "protocol/Packet.h"
#include "res/DialogTemplates.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/CLocaleText.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QWindow>

#include <algorithm>

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

QWidget* OwnerWidget(ui::IOwnerWindow* owner)
{
    if (auto* qtOwner = dynamic_cast<QtOwnerWindow*>(owner))
        return qtOwner->Widget();
    return dynamic_cast<QWidget*>(owner);
}

CProgressWindow::CProgressWindow(std::function<void()> onCancel)
    : CTemplateDialog(res::IDD_PROGRESS, nullptr), m_onCancel(std::move(onCancel))
{
    // The last line of the message's area (7, 7, 172, 31): a message takes
    // two lines at most there.
    m_rate = new QLabel(this);
    m_rate->setObjectName(QStringLiteral("id%1").arg(IDC_RATE));
    m_rate->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    m_rate->hide();
    OnUnitsChanged();
}

void CProgressWindow::OnUnitsChanged()
{
    m_rate->setGeometry(MapDialogRect(7, 28, 172, 10));
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
    QWidget* ownerWidget = OwnerWidget(owner);
    PlaceAbove(*m_window, ownerWidget != nullptr ? ownerWidget : ActiveOwner());
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

std::string RateText(const ui::TransferStats& stats)
{
    if (stats.bytesSent <= 0 || stats.elapsedMs == 0)
        return {};
    const double bytesPerSecond = static_cast<double>(stats.bytesSent) * 1000.0 / stats.elapsedMs;
    const int64_t left = std::max<int64_t>(stats.totalBytes - stats.bytesSent, 0);
    const int secondsLeft = static_cast<int>(std::min<double>(static_cast<double>(left) / bytesPerSecond + 0.5, 1e6));
    return ui::CFormat(res::LoadString(res::IDS_PROGRESS_RATE).c_str(), bytesPerSecond / 1024.0, secondsLeft);
}

bool RateSettled(const ui::TransferStats& stats)
{
    constexpr uint32_t kSettleMs = 1000;
    constexpr int64_t kSettleBytes = kFirstPieceSize + kLaterPieceSize;
    return stats.elapsedMs >= kSettleMs && stats.bytesSent >= kSettleBytes;
}

void QtProgressView::SetStats(const ui::TransferStats& stats)
{
    m_stats = stats;
    if (m_window == nullptr)
        return;
    const std::string text = RateSettled(stats) ? RateText(stats) : std::string();
    m_window->Rate()->setText(ToQt(text));
    m_window->Rate()->setVisible(!text.empty());
}

void QtProgressView::SetBarPos(int pos)
{
    if (m_window != nullptr && m_window->Bar() != nullptr)
        m_window->Bar()->setValue(pos);
}

} // namespace oskel::qt
