#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace oskel::ui {

class ITextMeasurer;

// Told of every change of a ListModel, so a front end can render it (a Qt
// list box, the terminal) and the main dialog can apply its enabling rules.
// Each call comes after the model has changed. An observer must not add or
// remove observers from inside a call.
class IListObserver {
public:
    virtual ~IListObserver() = default;
    virtual void ItemInserted(int /*index*/) {}
    virtual void ItemDeleted(int /*index*/) {}
    // Everything may have changed (ResetContent, or a change of style).
    virtual void ContentReset() {}
    // The selected set (or the single selection) changed.
    virtual void SelectionChanged() {}
    virtual void HorizontalExtentChanged(int /*extent*/) {}
};

// The contents of a list or drop-down list control with the classic
// semantics: items in order, each with a text and an integer of item data.
// Front ends render it; the system's code fills and reads it.
//
// Style, fixed at construction (the default is an unsorted single-selection
// list, as the drop-down lists of the camera-not-found dialog are):
// - sorted: AddString inserts at the place given by CompareItemText, after
//   every item that compares equal (so equal texts keep the order in which
//   they were added). The insertion point is found by binary search. Every
//   front end shows the model's order and never sorts on its own.
// - selection: Single keeps at most one selected item (GetCurSel/SetCurSel);
//   Extended lets any set of items be selected (SetSel, GetSelCount,
//   GetSelItems). Selection belongs to the item: it moves with the item when
//   items are inserted or deleted before it.
//
// Indexes outside 0..GetCount()-1 are refused as the classic control refuses
// them: getters return an empty text or 0, setters return false or kError.
class ListModel {
public:
    static constexpr int kNoSelection = -1;
    static constexpr int kError = -1; // LB_ERR

    enum class Selection { Single, Extended };

    ListModel() = default;
    ListModel(bool sorted, Selection selection) : m_sorted(sorted), m_selection(selection) {}
    // Observers are not copied with a model.
    ListModel(const ListModel& other);
    ListModel& operator=(const ListModel& other);

    bool IsSorted() const { return m_sorted; }
    Selection SelectionMode() const { return m_selection; }

    // Index of the new item: the end of an unsorted list, its sorted place in
    // a sorted one. The new item has data 0 and is not selected.
    int AddString(std::string text);
    // Removes one item; the result is the number of items left, or kError.
    int DeleteString(int index);
    void ResetContent();

    int GetCount() const { return static_cast<int>(m_items.size()); }
    const std::string& GetText(int index) const;  // empty for a bad index
    intptr_t GetItemData(int index) const;        // 0 for a bad index
    bool SetItemData(int index, intptr_t data);

    // Single-selection view. In an Extended list GetCurSel is the lowest
    // selected index, and SetCurSel selects exactly that one item (-1: none).
    int GetCurSel() const;
    // Selects index, or nothing for -1 or any index outside the list
    // (returns false then, as the classic control does).
    bool SetCurSel(int index);

    // Extended selection (LB_SETSEL, LB_GETSEL, LB_GETSELCOUNT,
    // LB_GETSELITEMS). SetSel with index -1 selects or deselects every item.
    // In a Single list SetSel(i, true) makes i the one selected item.
    bool SetSel(int index, bool select);
    bool GetSel(int index) const;
    int GetSelCount() const { return m_selCount; }
    std::vector<int> GetSelItems() const; // ascending

    // Horizontal scroll extent in the front end's text units
    // (LB_SETHORIZONTALEXTENT); 0 at first.
    void SetHorizontalExtent(int extent);
    int GetHorizontalExtent() const { return m_extent; }

    // The measurer of this list's font; null (the default) means the
    // process-wide one of ui/TextMeasurer.h. Not owned; must outlive its use.
    void SetTextMeasurer(const ITextMeasurer* measurer) { m_measurer = measurer; }
    // Width of text in this list's font.
    int MeasureText(std::string_view text) const;

    // Not owned; an observer removes itself before it dies.
    void AddObserver(IListObserver* observer);
    void RemoveObserver(IListObserver* observer);

    // The sorting rule of every sorted list: bytes compared with ASCII
    // letters folded to lower case, then, when equal so far, the shorter text
    // first. Negative, 0 or positive.
    static int CompareItemText(std::string_view a, std::string_view b);

private:
    struct Item {
        std::string text;
        intptr_t data = 0;
        bool selected = false;
    };
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }
    void Select(size_t index, bool select);
    template <typename F> void Notify(F&& call);

    bool m_sorted = false;
    Selection m_selection = Selection::Single;
    std::vector<Item> m_items;
    int m_selCount = 0;
    int m_extent = 0;
    const ITextMeasurer* m_measurer = nullptr;
    std::vector<IListObserver*> m_observers;
};

} // namespace oskel::ui
