#include "ui/ProgressView.h"

namespace oskel::ui {
namespace {

IProgressViewFactory* g_factory = nullptr;

} // namespace

void SetProgressViewFactory(IProgressViewFactory* factory)
{
    g_factory = factory;
}

std::unique_ptr<IProgressView> CreateProgressView()
{
    if (g_factory != nullptr) {
        if (std::unique_ptr<IProgressView> view = g_factory->CreateProgressView())
            return view;
    }
    return std::make_unique<RecordedProgressView>();
}

bool RecordedProgressView::Create(IOwnerWindow* owner, std::function<void()> onCancel)
{
    if (m_bExists)
        return false;
    m_bExists = true;
    m_bVisible = false;
    m_pOwner = owner;
    m_onCancel = std::move(onCancel);
    ++m_nCreates;
    return true;
}

bool RecordedProgressView::Destroy()
{
    if (!m_bExists)
        return false;
    if (m_bFailDestroy) {
        m_bFailDestroy = false;
        return false;
    }
    m_bOwnerEnabledAtDestroy = m_pOwner != nullptr && m_pOwner->IsWindowEnabled();
    m_bExists = false;
    m_bVisible = false;
    m_onCancel = nullptr;
    ++m_nDestroys;
    return true;
}

void RecordedProgressView::Show(bool show)
{
    if (m_bExists)
        m_bVisible = show;
}

void RecordedProgressView::SetCaption(const std::string& text)
{
    m_strCaption = text;
}

void RecordedProgressView::SetMessage(const std::string& text)
{
    m_strMessage = text;
    m_messages.push_back(text);
}

void RecordedProgressView::SetBarRange(int low, int high)
{
    m_nLow = low;
    m_nHigh = high;
}

void RecordedProgressView::SetBarPos(int pos)
{
    m_nPos = pos;
    m_positions.push_back(pos);
}

void RecordedProgressView::PressCancel()
{
    if (m_bExists && m_onCancel)
        m_onCancel();
}

} // namespace oskel::ui
