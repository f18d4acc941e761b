#include "transfer/DlgProgress.h"

namespace oskel {

CDlgProgress::CDlgProgress(std::unique_ptr<ui::IProgressView> view, ui::IOwnerWindow* parent)
    : m_pView(view ? std::move(view) : std::make_unique<ui::RecordedProgressView>()), m_pDefaultParent(parent)
{
}

CDlgProgress::~CDlgProgress()
{
    if (m_pView->Exists())
        DestroyWindow();
    Attach(nullptr, false);
}

int CDlgProgress::Create(ui::IOwnerWindow* parent)
{
    if (m_pView->Exists())
        return 0;
    ui::IOwnerWindow* owner = parent != nullptr ? parent : m_pDefaultParent;
    if (!m_pView->Create(owner, [this] { OnCancel(); }))
        return 0;
    m_pParent = owner;
    OnInitDialog();
    return 1;
}

void CDlgProgress::OnInitDialog()
{
    m_pView->SetMessage(m_strMessage);
    if (m_pParent != nullptr)
        m_pParent->EnableWindow(false);
    m_pView->SetCaption(m_strCaption);
    Attach(m_pView.get(), false);
}

void CDlgProgress::SetTitle(const char* text)
{
    if (text == nullptr)
        return;
    m_strCaption = text;
    if (m_pView->Exists())
        m_pView->SetCaption(m_strCaption);
}

void CDlgProgress::SetMessage(const char* text)
{
    if (text == nullptr)
        return;
    m_strMessage = text;
    if (m_pView->Exists())
        m_pView->SetMessage(m_strMessage);
}

void CDlgProgress::Show()
{
    if (!m_pView->Exists())
        return;
    m_pView->Show(true);
    m_pView->Repaint();
}

int CDlgProgress::DestroyWindow()
{
    ui::IOwnerWindow* parent = m_pParent;
    if (parent != nullptr)
        parent->EnableWindow(true);
    if (!m_pView->Destroy()) {
        if (parent != nullptr)
            parent->EnableWindow(false);
        return 0;
    }
    Attach(nullptr, false);
    m_pParent = nullptr;
    return 1;
}

int CDlgProgress::Begin()
{
    if (!m_pView->IsVisible()) {
        m_bShownByBegin = 1;
        Show();
    } else {
        m_bShownByBegin = 0;
    }
    return CProgressBarSink::Begin();
}

int CDlgProgress::End()
{
    if (m_bShownByBegin)
        m_pView->Show(false);
    return CProgressBarSink::End();
}

} // namespace oskel
