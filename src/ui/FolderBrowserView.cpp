#include "ui/FolderBrowserView.h"

namespace oskel::ui {
namespace {

class NoBrowser final : public IFolderBrowserView {
public:
    uint32_t Prepare() override { return kNoFolderBrowser; }
    std::optional<std::string> Browse(IOwnerWindow*, const std::string&, IFolderBrowserEvents&) override
    {
        return std::nullopt;
    }
    void SetSelection(const std::string&) override {}
    void EnableNewFolder(bool) override {}
    void PostOK() override {}
    void NotifyFolderCreated(const std::string&) override {}
    IOwnerWindow* Window() override { return nullptr; }
    void Beep() override {}
};

IFolderBrowserViewFactory* g_factory = nullptr;

} // namespace

void SetFolderBrowserViewFactory(IFolderBrowserViewFactory* factory)
{
    g_factory = factory;
}

std::unique_ptr<IFolderBrowserView> CreateFolderBrowserView()
{
    if (g_factory != nullptr) {
        if (std::unique_ptr<IFolderBrowserView> view = g_factory->CreateFolderBrowserView())
            return view;
    }
    return std::make_unique<NoBrowser>();
}

} // namespace oskel::ui
