#include "app/DlgInputBox.h"

#include "res/StringIds.h"
#include "res/StringTable.h"
#include "ui/MessageBox.h"

#include <array>
#include <cstddef>
#include <memory>

namespace oskel {
namespace {

// The OK command's hidden word and its reply are kept with bit 7 of every
// byte set, so that neither shows up as text in the program file.
template <size_t N>
consteval std::array<unsigned char, N> WithHighBits(const char (&text)[N])
{
    std::array<unsigned char, N> stored{};
    for (size_t i = 0; i + 1 < N; ++i)
        stored[i] = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) | 0x80u);
    return stored;
}

constexpr size_t kTriggerLength = 8;
constexpr size_t kMaxReplyLength = 34;
constexpr auto kTriggerWord = WithHighBits("#credits");
constexpr auto kReply = WithHighBits("OSKEL Program Uploader, Linux port");
static_assert(kTriggerWord.size() == kTriggerLength + 1);
static_assert(kReply.size() <= kMaxReplyLength + 1);

bool StartsWithTriggerWord(const std::string& value)
{
    if (value.size() < kTriggerLength)
        return false;
    for (size_t i = 0; i < kTriggerLength; ++i)
        if (static_cast<unsigned char>(value[i]) != (kTriggerWord[i] & 0x7Fu))
            return false;
    return true;
}

std::string Reply()
{
    std::string reply;
    for (size_t i = 0; i < kReply.size() && i < kMaxReplyLength && kReply[i] != 0; ++i)
        reply += static_cast<char>(kReply[i] & 0x7Fu);
    return reply;
}

} // namespace

CDlgInputBox::CDlgInputBox(ui::IOwnerWindow* owner, std::string caption, std::optional<std::string> prompt)
    : m_strCaption(std::move(caption)), m_pOwner(owner)
{
    if (prompt)
        m_strPrompt = std::move(*prompt);
    else
        m_strPrompt = res::LoadString(res::IDS_ENTER_PROMPT) + m_strCaption + res::LoadString(res::IDS_PROMPT_COLON);
}

int CDlgInputBox::DoModal()
{
    const std::unique_ptr<ui::IInputBoxView> view = ui::CreateInputBoxView();
    return DoModal(*view);
}

int CDlgInputBox::DoModal(ui::IInputBoxView& view)
{
    m_pView = &view;
    const int result = view.DoModal(m_pOwner, *this);
    m_pView = nullptr;
    return result == ui::IDOK ? ui::IDOK : ui::IDCANCEL;
}

bool CDlgInputBox::UpdateData(bool saveAndValidate)
{
    if (m_pView == nullptr)
        return false;
    CDataExchange dx(*m_pView, saveAndValidate);
    DoDataExchange(dx);
    if (dx.Failed()) {
        m_pView->GotoDlgCtrl(dx.LastControl());
        return false;
    }
    return true;
}

void CDlgInputBox::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_PROMPT, m_strPrompt);
    dx.Text(IDC_VALUE, m_strValue);
}

bool CDlgInputBox::OnInitDialog()
{
    UpdateData(false);
    if (m_pView != nullptr) {
        m_pView->SetCaption(m_strCaption);
        m_pView->CenterWindow();
    }
    return true;
}

void CDlgInputBox::OnOK()
{
    if (m_pView == nullptr || !UpdateData(true))
        return;
    if (StartsWithTriggerWord(m_strValue)) {
        m_strValue = Reply();
        UpdateData(false);
        return;
    }
    m_pView->EndDialog(ui::IDOK);
}

void CDlgInputBox::OnCancel()
{
    if (m_pView != nullptr)
        m_pView->EndDialog(ui::IDCANCEL);
}

} // namespace oskel
