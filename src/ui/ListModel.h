#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oskel::ui {

// The contents of a list or drop-down list control with the classic
// semantics: items in order, each with a text and an integer of item data,
// and at most one selected item (-1 when none). Front ends render it; the
// system's code fills and reads it.
class ListModel {
public:
    static constexpr int kNoSelection = -1;

    int AddString(std::string text);             // index of the new item
    int GetCount() const { return static_cast<int>(m_items.size()); }
    const std::string& GetText(int index) const;  // empty for a bad index
    intptr_t GetItemData(int index) const;       // 0 for a bad index
    bool SetItemData(int index, intptr_t data);
    int GetCurSel() const { return m_selection; }
    // Selects index, or nothing for -1 or any index outside the list
    // (returns false then, as the classic control does).
    bool SetCurSel(int index);
    void ResetContent();

private:
    struct Item {
        std::string text;
        intptr_t data = 0;
    };
    std::vector<Item> m_items;
    int m_selection = kNoSelection;
};

} // namespace oskel::ui
