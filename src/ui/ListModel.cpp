#include "ui/ListModel.h"

#include "ui/TextMeasurer.h"

#include <algorithm>

namespace oskel::ui {

ListModel::ListModel(const ListModel& other)
    : m_sorted(other.m_sorted), m_selection(other.m_selection), m_items(other.m_items),
      m_selCount(other.m_selCount), m_extent(other.m_extent), m_measurer(other.m_measurer)
{
}

ListModel& ListModel::operator=(const ListModel& other)
{
    if (this != &other) {
        m_sorted = other.m_sorted;
        m_selection = other.m_selection;
        m_items = other.m_items;
        m_selCount = other.m_selCount;
        m_extent = other.m_extent;
        m_measurer = other.m_measurer;
        Notify([](IListObserver& o) { o.ContentReset(); });
    }
    return *this;
}

template <typename F> void ListModel::Notify(F&& call)
{
    for (IListObserver* observer : m_observers)
        call(*observer);
}

int ListModel::AddString(std::string text)
{
    auto at = m_items.end();
    if (m_sorted) {
        at = std::upper_bound(m_items.begin(), m_items.end(), text,
                              [](const std::string& t, const Item& item) { return CompareItemText(t, item.text) < 0; });
    }
    const int index = static_cast<int>(at - m_items.begin());
    m_items.insert(at, Item{std::move(text), 0, false});
    Notify([index](IListObserver& o) { o.ItemInserted(index); });
    return index;
}

int ListModel::DeleteString(int index)
{
    if (!Valid(index))
        return kError;
    const bool wasSelected = m_items[static_cast<size_t>(index)].selected;
    if (wasSelected)
        --m_selCount;
    m_items.erase(m_items.begin() + index);
    Notify([index](IListObserver& o) { o.ItemDeleted(index); });
    if (wasSelected)
        Notify([](IListObserver& o) { o.SelectionChanged(); });
    return GetCount();
}

void ListModel::ResetContent()
{
    m_items.clear();
    m_selCount = 0;
    Notify([](IListObserver& o) { o.ContentReset(); });
}

const std::string& ListModel::GetText(int index) const
{
    static const std::string kEmpty;
    return Valid(index) ? m_items[static_cast<size_t>(index)].text : kEmpty;
}

intptr_t ListModel::GetItemData(int index) const
{
    return Valid(index) ? m_items[static_cast<size_t>(index)].data : 0;
}

bool ListModel::SetItemData(int index, intptr_t data)
{
    if (!Valid(index))
        return false;
    m_items[static_cast<size_t>(index)].data = data;
    return true;
}

void ListModel::Select(size_t index, bool select)
{
    Item& item = m_items[index];
    if (item.selected != select) {
        item.selected = select;
        m_selCount += select ? 1 : -1;
    }
}

int ListModel::GetCurSel() const
{
    if (m_selCount == 0)
        return kNoSelection;
    const auto it = std::find_if(m_items.begin(), m_items.end(), [](const Item& item) { return item.selected; });
    return static_cast<int>(it - m_items.begin());
}

bool ListModel::SetCurSel(int index)
{
    const bool valid = Valid(index);
    bool changed = false;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const bool want = valid && static_cast<int>(i) == index;
        if (m_items[i].selected != want) {
            Select(i, want);
            changed = true;
        }
    }
    if (changed)
        Notify([](IListObserver& o) { o.SelectionChanged(); });
    return valid;
}

bool ListModel::SetSel(int index, bool select)
{
    if (index == -1) {
        if (m_selection == Selection::Single && select)
            return false; // a single-selection list cannot select every item
        for (size_t i = 0; i < m_items.size(); ++i)
            Select(i, select);
        Notify([](IListObserver& o) { o.SelectionChanged(); });
        return true;
    }
    if (!Valid(index))
        return false;
    if (m_selection == Selection::Single && select)
        return SetCurSel(index);
    if (m_items[static_cast<size_t>(index)].selected != select) {
        Select(static_cast<size_t>(index), select);
        Notify([](IListObserver& o) { o.SelectionChanged(); });
    }
    return true;
}

bool ListModel::GetSel(int index) const
{
    return Valid(index) && m_items[static_cast<size_t>(index)].selected;
}

std::vector<int> ListModel::GetSelItems() const
{
    std::vector<int> indexes;
    indexes.reserve(static_cast<size_t>(m_selCount));
    for (size_t i = 0; i < m_items.size() && static_cast<int>(indexes.size()) < m_selCount; ++i) {
        if (m_items[i].selected)
            indexes.push_back(static_cast<int>(i));
    }
    return indexes;
}

void ListModel::SetHorizontalExtent(int extent)
{
    extent = std::max(extent, 0);
    if (extent == m_extent)
        return;
    m_extent = extent;
    Notify([extent](IListObserver& o) { o.HorizontalExtentChanged(extent); });
}

int ListModel::MeasureText(std::string_view text) const
{
    return (m_measurer != nullptr ? *m_measurer : CurrentTextMeasurer()).TextWidth(text);
}

void ListModel::AddObserver(IListObserver* observer)
{
    if (observer != nullptr && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void ListModel::RemoveObserver(IListObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

int ListModel::CompareItemText(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : static_cast<unsigned>(u);
        };
        const unsigned x = fold(a[i]);
        const unsigned y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace oskel::ui
