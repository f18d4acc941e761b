#pragma once

#include "app/FitPathToWidth.h"
#include "ui/UploadDialogView.h"

#include <map>
#include <string>
#include <vector>

namespace oskel::test {

// The main dialog's window without a screen: it records what the dialog
// told it and lets a test act as the user (click, select, close).
class RecordedUploadDialogView final : public ui::IUploadDialogView {
public:
    // Pixels a character of the folder label's font.
    static constexpr int kCharWidth = 6;

    bool Create(ui::IUploadDialogEvents& events) override
    {
        if (failCreate)
            return false;
        m_events = &events;
        m_exists = true;
        return events.OnInitDialog();
    }
    void Show() override { shown = true; }
    void DestroyWindow() override
    {
        if (!m_exists)
            return;
        m_events->OnDestroy();
        m_exists = false;
    }
    void PostClose() override { ++postedCloses; }
    void SetBusy(bool busy) override { windowBusy = busy; }
    bool Exists() const override { return m_exists; }

    ui::Rect GetWindowRect() const override { return rect; }
    void SetWindowRect(const ui::Rect& r) override { rect = r; }
    ui::Rect GetNormalRect(int* state) const override
    {
        *state = showState;
        return rect;
    }
    ui::Rect GetScreenRect() const override { return screen; }

    void AppendAboutItem(const std::string& text) override { aboutItems.push_back(text); }
    void SetUpUploadButton() override { ++uploadButtonSetUps; }
    void SetInfoColors(uint32_t background, uint32_t text) override
    {
        infoBackground = background;
        infoText = text;
    }
    void SetItemText(int id, const std::string& text) override { texts[id] = text; }
    std::string GetItemText(int id) const override
    {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void EnableItem(int id, bool enable) override { disabled[id] = !enable; }
    bool IsItemEnabled(int id) const override
    {
        auto it = disabled.find(id);
        return it == disabled.end() || !it->second;
    }
    int GetClientWidth(int) const override { return labelWidth; }
    int MeasureItemText(int, std::string_view text) const override
    {
        return static_cast<int>(CountCharacters(text)) * kCharWidth;
    }
    void BindList(int id, ui::ListModel& model) override { lists[id] = &model; }

    void EnableWindow(bool enable) override { windowEnabled = enable; }
    bool IsWindowEnabled() const override { return windowEnabled; }

    // As the user would.
    void Click(int id) { m_events->OnCommand(id, ui::kClicked); }
    void Select(int id, const std::vector<int>& indexes)
    {
        ui::ListModel& model = *lists.at(id);
        model.SetSel(-1, false);
        for (int i : indexes)
            model.SetSel(i, true);
        m_events->OnCommand(id, ui::kSelChange);
    }
    void PressEnter() { m_events->OnOK(); }
    void PressEscape() { m_events->OnCancel(); }
    void CloseBox() { m_events->OnClose(); }
    // Delivers the close requests posted so far.
    void RunPostedCloses()
    {
        for (; postedCloses > 0 && m_exists; --postedCloses)
            m_events->OnClose();
    }
    bool MenuCommand(unsigned id) { return m_events->OnSysCommand(id); }

    bool failCreate = false;
    bool shown = false;
    bool windowEnabled = true;
    bool windowBusy = false;
    int postedCloses = 0;
    int uploadButtonSetUps = 0;
    int showState = ui::SW_SHOWNORMAL;
    int labelWidth = 60 * kCharWidth;
    ui::Rect rect{100, 80, 100 + 482, 80 + 309};
    ui::Rect screen{0, 0, 1024, 768};
    uint32_t infoBackground = 0xFFFFFFFF;
    uint32_t infoText = 0xFFFFFFFF;
    std::vector<std::string> aboutItems;
    std::map<int, std::string> texts;
    std::map<int, bool> disabled;
    std::map<int, ui::ListModel*> lists;

private:
    ui::IUploadDialogEvents* m_events = nullptr;
    bool m_exists = false;
};

} // namespace oskel::test
