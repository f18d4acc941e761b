#pragma once

#include "ui/FolderBrowserView.h"
#include "ui/InputBoxView.h"
#include "ui/MessageBox.h"
#include "ui/OwnerWindow.h"

#include <deque>
#include <memory>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace oskel::test {

struct FakeOwner : ui::IOwnerWindow {
    void EnableWindow(bool enable) override { enabled = enable; }
    bool IsWindowEnabled() const override { return enabled; }
    bool enabled = true;
};

// Input boxes answered from a script: each entry is typed into the edit
// field and OK is pressed; nullopt presses Cancel. When the script runs dry
// the box is cancelled. Records what each box showed.
class InputBoxScript : public ui::IInputBoxViewFactory {
public:
    struct Run {
        ui::IOwnerWindow* owner = nullptr;
        std::string caption, prompt, preset;
        std::vector<std::string> fieldAfterOK; // the field's text after each OK that kept the box open
        int focus = 0;
        bool centred = false;
    };

    InputBoxScript() { ui::SetInputBoxViewFactory(this); }
    ~InputBoxScript() override { ui::SetInputBoxViewFactory(nullptr); }

    std::deque<std::optional<std::string>> typed;
    std::vector<Run> runs;

    std::unique_ptr<ui::IInputBoxView> CreateInputBoxView() override { return std::make_unique<View>(*this); }

private:
    class View : public ui::IInputBoxView {
    public:
        explicit View(InputBoxScript& script) : m_script(script) {}
        int DoModal(ui::IOwnerWindow* owner, ui::IInputBoxHandler& handler) override
        {
            Run& run = m_script.runs.emplace_back();
            run.owner = owner;
            handler.OnInitDialog();
            run.prompt = m_items[5321];
            run.preset = m_items[5322];
            while (m_result == 0) {
                if (m_script.typed.empty()) {
                    handler.OnCancel();
                    break;
                }
                const std::optional<std::string> entry = m_script.typed.front();
                m_script.typed.pop_front();
                if (!entry) {
                    handler.OnCancel();
                    break;
                }
                m_items[5322] = *entry;
                handler.OnOK();
                if (m_result == 0)
                    m_script.runs.back().fieldAfterOK.push_back(m_items[5322]);
            }
            return m_result;
        }
        std::string GetItemText(int id) const override
        {
            const auto it = m_items.find(id);
            return it != m_items.end() ? it->second : std::string();
        }
        void SetItemText(int id, const std::string& text) override { m_items[id] = text; }
        void SetCaption(const std::string& text) override { m_script.runs.back().caption = text; }
        void CenterWindow() override { m_script.runs.back().centred = true; }
        void GotoDlgCtrl(int id) override { m_script.runs.back().focus = id; }
        void EndDialog(int result) override { m_result = result; }

    private:
        InputBoxScript& m_script;
        std::map<int, std::string> m_items;
        int m_result = 0;
    };
};

// A folder browser run from a script. Each Browse opens the browser (unless
// neverOpens), then plays steps until one ends the run: Select moves the
// selection, NewFolder presses the button, OK and Cancel close it. A run
// that the chooser closed itself (PostOK) returns the selection.
class BrowserScript : public ui::IFolderBrowserView {
public:
    enum class Action { Select, NewFolder, OK, Cancel };
    struct Step {
        Action action;
        std::string path;
    };
    struct Run {
        std::string title;
        ui::IOwnerWindow* owner = nullptr;
        std::vector<std::string> selections; // SetSelection calls
        std::vector<bool> newFolderEnabled;  // EnableNewFolder calls
    };

    std::deque<Step> steps;
    std::vector<Run> runs;
    std::vector<std::string> created;
    uint32_t prepareCode = 0;
    bool neverOpens = false;
    int beeps = 0;
    FakeOwner window;

    uint32_t Prepare() override { return prepareCode; }

    std::optional<std::string> Browse(ui::IOwnerWindow* owner, const std::string& title,
                                      ui::IFolderBrowserEvents& events) override
    {
        Run& run = runs.emplace_back();
        run.owner = owner;
        run.title = title;
        if (neverOpens || runs.size() > 20)
            return std::nullopt;
        m_bPostedOK = false;
        m_pEvents = &events;
        events.OnInitialized();
        while (!m_bPostedOK && !steps.empty()) {
            const Step step = steps.front();
            steps.pop_front();
            switch (step.action) {
            case Action::Select:
                m_current = step.path;
                events.OnSelectionChanged(step.path.empty() ? std::nullopt : std::optional(step.path));
                break;
            case Action::NewFolder:
                events.OnNewFolder();
                break;
            case Action::OK:
                return m_current;
            case Action::Cancel:
                return std::nullopt;
            }
        }
        return m_bPostedOK ? std::optional(m_current) : std::nullopt;
    }
    // As the tree does, selecting a folder reports the selection change.
    void SetSelection(const std::string& path) override
    {
        runs.back().selections.push_back(path);
        m_current = path;
        m_pEvents->OnSelectionChanged(path);
    }
    void EnableNewFolder(bool enable) override { runs.back().newFolderEnabled.push_back(enable); }
    void PostOK() override { m_bPostedOK = true; }
    void NotifyFolderCreated(const std::string& path) override { created.push_back(path); }
    ui::IOwnerWindow* Window() override { return &window; }
    void Beep() override { ++beeps; }

    // Hands this script out as the front end's browser while it lives.
    class Installed : public ui::IFolderBrowserViewFactory {
    public:
        explicit Installed(BrowserScript& script) : m_script(script) { ui::SetFolderBrowserViewFactory(this); }
        ~Installed() override { ui::SetFolderBrowserViewFactory(nullptr); }
        std::unique_ptr<ui::IFolderBrowserView> CreateFolderBrowserView() override
        {
            return std::make_unique<Proxy>(m_script);
        }

    private:
        struct Proxy : ui::IFolderBrowserView {
            explicit Proxy(BrowserScript& s) : script(s) {}
            uint32_t Prepare() override { return script.Prepare(); }
            std::optional<std::string> Browse(ui::IOwnerWindow* owner, const std::string& title,
                                              ui::IFolderBrowserEvents& events) override
            {
                return script.Browse(owner, title, events);
            }
            void SetSelection(const std::string& path) override { script.SetSelection(path); }
            void EnableNewFolder(bool enable) override { script.EnableNewFolder(enable); }
            void PostOK() override { script.PostOK(); }
            void NotifyFolderCreated(const std::string& path) override { script.NotifyFolderCreated(path); }
            ui::IOwnerWindow* Window() override { return script.Window(); }
            void Beep() override { script.Beep(); }
            BrowserScript& script;
        };
        BrowserScript& m_script;
    };

private:
    std::string m_current;
    ui::IFolderBrowserEvents* m_pEvents = nullptr;
    bool m_bPostedOK = false;
};

} // namespace oskel::test
