#include "ui/CameraNotFoundView.h"

#include "ui/MessageBox.h"

namespace oskel::ui {
namespace {

class NoWindow final : public ICameraNotFoundView {
public:
    int DoModal(ListModel&, ListModel&, const CameraNotFoundDetails&) override { return IDCANCEL; }
};

NoWindow g_noWindow;
ICameraNotFoundView* g_view = nullptr;

} // namespace

void SetCameraNotFoundView(ICameraNotFoundView* view)
{
    g_view = view;
}

ICameraNotFoundView& CurrentCameraNotFoundView()
{
    return g_view != nullptr ? *g_view : g_noWindow;
}

} // namespace oskel::ui
