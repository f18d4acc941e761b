#pragma once

#include "ui/InputBoxView.h"

#include <string>

namespace oskel {

// One dialog data exchange: the fields of a dialog object are loaded into
// its controls, or saved from them and validated. A check that fails calls
// Fail; the exchange then stops and the focus goes to the control that was
// exchanged last.
class CDataExchange {
public:
    CDataExchange(ui::IInputBoxView& view, bool saveAndValidate) : m_view(view), m_bSaveAndValidate(saveAndValidate)
    {
    }

    // Text of control id <-> value.
    void Text(int id, std::string& value)
    {
        m_nLastControl = id;
        if (m_bSaveAndValidate)
            value = m_view.GetItemText(id);
        else
            m_view.SetItemText(id, value);
    }

    void Fail() { m_bFailed = true; }
    bool Failed() const { return m_bFailed; }
    bool Saving() const { return m_bSaveAndValidate; }
    int LastControl() const { return m_nLastControl; }

private:
    ui::IInputBoxView& m_view;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    int m_nLastControl = 0;
};

} // namespace oskel
