// The list-box model: sorted insertion, deletion with item data and
// selection moving along, extended selection, the horizontal extent and what
// observers are told.
#include "ui/ListModel.h"
#include "ui/ReadableText.h"
#include "ui/TextMeasurer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oskel::ui {
namespace {

std::vector<std::string> Texts(const ListModel& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.GetText(i));
    return texts;
}

struct Recorder : IListObserver {
    std::vector<std::string> events;
    void ItemInserted(int index) override { events.push_back("+" + std::to_string(index)); }
    void ItemDeleted(int index) override { events.push_back("-" + std::to_string(index)); }
    void ContentReset() override { events.push_back("reset"); }
    void SelectionChanged() override { events.push_back("sel"); }
    void HorizontalExtentChanged(int extent) override { events.push_back("ext" + std::to_string(extent)); }
};

TEST(ListModel, SortedListInsertsByFoldedTextAfterEqualItems)
{
    ListModel list(true, ListModel::Selection::Extended);
    const std::vector<std::pair<std::string, int>> adds = {
        {"frames", 0}, {"Clock", 0}, {"clock", 1}, {"Zebra", 3}, {"_under", 0}, {"clock2", 3}, {"", 0}};
    for (const auto& [text, expectedIndex] : adds)
        EXPECT_EQ(list.AddString(text), expectedIndex) << text;
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"", "_under", "Clock", "clock", "clock2", "frames", "Zebra"}));
}

TEST(ListModel, DataAndSelectionTravelWithTheirItems)
{
    ListModel list(true, ListModel::Selection::Extended);
    for (const char* text : {"b", "d", "f"})
        list.SetItemData(list.AddString(text), text[0]);
    list.SetSel(1, true); // "d"
    list.AddString("a");  // moves "d" to index 2
    EXPECT_EQ(list.GetSelItems(), std::vector<int>{2});
    EXPECT_EQ(list.GetItemData(2), 'd');

    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.GetSelItems(), std::vector<int>{1});
    EXPECT_EQ(list.GetItemData(1), 'd');
    EXPECT_EQ(list.DeleteString(1), 2);
    EXPECT_EQ(list.GetSelCount(), 0);
    EXPECT_EQ(list.DeleteString(2), ListModel::kError);
    EXPECT_EQ(list.DeleteString(-1), ListModel::kError);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"b", "f"}));
}

TEST(ListModel, ExtendedSelectionCountsAndListsAscending)
{
    ListModel list(false, ListModel::Selection::Extended);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.AddString(std::to_string(4 - i)), i); // unsorted: appended
    EXPECT_TRUE(list.SetSel(3, true));
    EXPECT_TRUE(list.SetSel(0, true));
    EXPECT_TRUE(list.SetSel(3, true)); // twice counts once
    EXPECT_FALSE(list.SetSel(5, true));
    EXPECT_EQ(list.GetSelCount(), 2);
    EXPECT_EQ(list.GetSelItems(), (std::vector<int>{0, 3}));
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_TRUE(list.SetSel(-1, true));
    EXPECT_EQ(list.GetSelCount(), 5);
    EXPECT_TRUE(list.SetSel(-1, false));
    EXPECT_EQ(list.GetSelCount(), 0);
    EXPECT_EQ(list.GetCurSel(), ListModel::kNoSelection);
    list.SetSel(2, true);
    list.ResetContent();
    EXPECT_EQ(list.GetSelCount(), 0);
}

TEST(ListModel, SingleSelectionKeepsOneItem)
{
    ListModel list;
    for (int i = 0; i < 3; ++i)
        list.AddString(std::to_string(i));
    EXPECT_TRUE(list.SetCurSel(1));
    EXPECT_TRUE(list.SetSel(2, true));
    EXPECT_EQ(list.GetSelItems(), std::vector<int>{2});
    EXPECT_FALSE(list.SetSel(-1, true));
    EXPECT_FALSE(list.SetCurSel(7));
    EXPECT_EQ(list.GetCurSel(), ListModel::kNoSelection);
}

TEST(ListModel, ObserversHearEveryChangeOnce)
{
    ListModel list(true, ListModel::Selection::Extended);
    Recorder recorder;
    list.AddObserver(&recorder);
    list.AddObserver(&recorder);
    list.AddString("m");
    list.AddString("a");
    list.SetSel(1, true);
    list.SetSel(1, true); // no change, no news
    list.DeleteString(1);
    list.SetHorizontalExtent(40);
    list.SetHorizontalExtent(40);
    list.ResetContent();
    list.RemoveObserver(&recorder);
    list.AddString("x");
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"+0", "+0", "sel", "-1", "sel", "ext40", "reset"}));
}

struct DoubleWidth : ITextMeasurer {
    int TextWidth(std::string_view text) const override { return 2 * static_cast<int>(text.size()); }
};

TEST(TextMeasurer, CountsUtf8CharactersUnlessAFrontEndMeasures)
{
    const ListModel list;
    EXPECT_EQ(list.MeasureText("Caf\xC3\xA9"), 4);
    EXPECT_EQ(list.MeasureText("\xFF\xC3"), 2); // stray bytes count one each
    const DoubleWidth wide;
    SetTextMeasurer(&wide);
    EXPECT_EQ(list.MeasureText("abc"), 6);
    SetTextMeasurer(nullptr);
    ListModel own;
    own.SetTextMeasurer(&wide);
    EXPECT_EQ(own.MeasureText("ab"), 4);
}

TEST(ReadableText, StrayBytesReadAsTheOldCodePage)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Frames", "Frames"},
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},           // valid UTF-8 stays
        {"Caf\xE9", "Caf\xC3\xA9"},               // Latin-1 byte
        {"\x80uro", "\xE2\x82\xACuro"},           // Windows-1252 euro sign
        {"a\x81" "b", "a\xEF\xBF\xBD" "b"},       // undefined in the code page
        {"tab\there", "tab\xEF\xBF\xBDhere"},     // control character
        {"\xC2\x85", "\xEF\xBF\xBD"},             // C1 control in UTF-8
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},     // cut-off sequence
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(ReadableText(bytes), shown) << bytes;
}

} // namespace
} // namespace oskel::ui
