#pragma once

#include "ui/OwnerWindow.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace oskel::ui {

// The window of one About box (template 100): the program's name, version
// and notice, and the two camera lines. The box's behaviour lives in the
// core (CDlgAbout); the view shows what it is told and reports when it is
// shown or hidden. It is modeless: OK, Escape and the close box hide it.
class IAboutView {
public:
    virtual ~IAboutView() = default;

    // Creates the window hidden, centred over `owner` (null: no owner).
    // `onShowWindow` is to be called with true each time the window becomes
    // visible and with false each time it is hidden. False when the window
    // could not be created.
    virtual bool Create(IOwnerWindow* owner, std::function<void(bool shown)> onShowWindow) = 0;
    // Whether the window still exists.
    virtual bool Exists() const = 0;
    virtual void Show() = 0;
    virtual bool IsVisible() const = 0;
    // Paints the window's current state at once.
    virtual void Repaint() = 0;
    // Sets the text of a static control of the template.
    virtual void SetItemText(int id, const std::string& text) = 0;
};

// Makes the About windows of a front end.
class IAboutViewFactory {
public:
    virtual ~IAboutViewFactory() = default;
    virtual std::unique_ptr<IAboutView> CreateAboutView() = 0;
};

// Installs the front end's factory (null restores the default, which makes
// RecordedAboutView windows).
void SetAboutViewFactory(IAboutViewFactory* factory);
std::unique_ptr<IAboutView> CreateAboutView();

// An About window without a screen: it keeps the texts it was given. The
// default for front ends without windows, and the tests' view.
class RecordedAboutView : public IAboutView {
public:
    bool Create(IOwnerWindow* owner, std::function<void(bool shown)> onShowWindow) override;
    bool Exists() const override { return m_bExists; }
    void Show() override;
    bool IsVisible() const override { return m_bExists && m_bVisible; }
    void Repaint() override;
    void SetItemText(int id, const std::string& text) override { m_texts[id] = text; }

    // As the user would: OK, Escape or the close box hide the box.
    void PressOK();
    // The window goes (as when the system destroys it).
    void DestroyWindow();

    IOwnerWindow* Owner() const { return m_pOwner; }
    // The text of a control, "" when it was never set.
    std::string ItemText(int id) const;
    // The texts at the last Repaint.
    const std::map<int, std::string>& Painted() const { return m_painted; }

private:
    bool m_bExists = false;
    bool m_bVisible = false;
    IOwnerWindow* m_pOwner = nullptr;
    std::function<void(bool)> m_onShowWindow;
    std::map<int, std::string> m_texts;
    std::map<int, std::string> m_painted;
};

} // namespace oskel::ui
