#include "ui/InputBoxView.h"

#include "ui/MessageBox.h"

namespace oskel::ui {
namespace {

class NoWindow final : public IInputBoxView {
public:
    int DoModal(IOwnerWindow*, IInputBoxHandler&) override { return IDCANCEL; }
    std::string GetItemText(int) const override { return {}; }
    void SetItemText(int, const std::string&) override {}
    void SetCaption(const std::string&) override {}
    void CenterWindow() override {}
    void GotoDlgCtrl(int) override {}
    void EndDialog(int) override {}
};

IInputBoxViewFactory* g_factory = nullptr;

} // namespace

void SetInputBoxViewFactory(IInputBoxViewFactory* factory)
{
    g_factory = factory;
}

std::unique_ptr<IInputBoxView> CreateInputBoxView()
{
    if (g_factory != nullptr) {
        if (std::unique_ptr<IInputBoxView> view = g_factory->CreateInputBoxView())
            return view;
    }
    return std::make_unique<NoWindow>();
}

} // namespace oskel::ui
