#include "ui/ListModel.h"

namespace oskel::ui {

int ListModel::AddString(std::string text)
{
    m_items.push_back({std::move(text), 0});
    return GetCount() - 1;
}

const std::string& ListModel::GetText(int index) const
{
    static const std::string kEmpty;
    return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].text : kEmpty;
}

intptr_t ListModel::GetItemData(int index) const
{
    return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].data : 0;
}

bool ListModel::SetItemData(int index, intptr_t data)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_items[static_cast<size_t>(index)].data = data;
    return true;
}

bool ListModel::SetCurSel(int index)
{
    if (index < 0 || index >= GetCount()) {
        m_selection = kNoSelection;
        return false;
    }
    m_selection = index;
    return true;
}

void ListModel::ResetContent()
{
    m_items.clear();
    m_selection = kNoSelection;
}

} // namespace oskel::ui
