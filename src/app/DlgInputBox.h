#pragma once

#include "app/DataExchange.h"
#include "ui/InputBoxView.h"
#include "ui/OwnerWindow.h"

#include <optional>
#include <string>

namespace oskel {

// A small modal box that asks for one line of text: a caption, a prompt
// above an edit field, OK and Cancel. Subclasses add checks by extending
// DoDataExchange; a check that fails keeps the box open.
class CDlgInputBox : public ui::IInputBoxHandler {
public:
    static constexpr int IDD = 5320;
    static constexpr int IDC_PROMPT = 5321;
    static constexpr int IDC_VALUE = 5322;

    // Without a prompt the prompt is "Enter " + caption + ":".
    CDlgInputBox(ui::IOwnerWindow* owner, std::string caption, std::optional<std::string> prompt = std::nullopt);
    ~CDlgInputBox() override = default;

    // IDOK or IDCANCEL. m_strValue presets the field and holds the text
    // after IDOK.
    int DoModal();
    int DoModal(ui::IInputBoxView& view);

    // Controls -> fields and validation (true), or fields -> controls.
    // False when a check failed; the focus is then on the offending control.
    bool UpdateData(bool saveAndValidate);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    std::string m_strPrompt;
    std::string m_strValue;
    std::string m_strCaption;

protected:
    virtual void DoDataExchange(CDataExchange& dx);

private:
    ui::IOwnerWindow* m_pOwner;
    ui::IInputBoxView* m_pView = nullptr;
};

} // namespace oskel
