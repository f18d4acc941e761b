#include "ui/AboutView.h"

namespace oskel::ui {
namespace {

IAboutViewFactory* g_factory = nullptr;

} // namespace

void SetAboutViewFactory(IAboutViewFactory* factory)
{
    g_factory = factory;
}

std::unique_ptr<IAboutView> CreateAboutView()
{
    if (g_factory != nullptr) {
        if (std::unique_ptr<IAboutView> view = g_factory->CreateAboutView())
            return view;
    }
    return std::make_unique<RecordedAboutView>();
}

bool RecordedAboutView::Create(IOwnerWindow* owner, std::function<void(bool)> onShowWindow)
{
    if (m_bExists)
        return false;
    m_bExists = true;
    m_pOwner = owner;
    m_onShowWindow = std::move(onShowWindow);
    return true;
}

void RecordedAboutView::Show()
{
    if (!m_bExists || m_bVisible)
        return;
    m_bVisible = true;
    if (m_onShowWindow)
        m_onShowWindow(true);
}

void RecordedAboutView::Repaint()
{
    if (m_bExists)
        m_painted = m_texts;
}

void RecordedAboutView::PressOK()
{
    if (!m_bExists || !m_bVisible)
        return;
    m_bVisible = false;
    if (m_onShowWindow)
        m_onShowWindow(false);
}

void RecordedAboutView::DestroyWindow()
{
    PressOK();
    m_bExists = false;
    m_onShowWindow = nullptr;
}

std::string RecordedAboutView::ItemText(int id) const
{
    const auto it = m_texts.find(id);
    return it != m_texts.end() ? it->second : std::string();
}

} // namespace oskel::ui
