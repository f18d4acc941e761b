#include "ui/WaitCursor.h"

namespace oskel::ui {
namespace {

class NoWaitCursor final : public IWaitCursor {
public:
    void Begin() override {}
    void End() override {}
};

NoWaitCursor g_defaultCursor;
IWaitCursor* g_current = nullptr;

} // namespace

void SetWaitCursor(IWaitCursor* cursor)
{
    g_current = cursor;
}

IWaitCursor& CurrentWaitCursor()
{
    return g_current != nullptr ? *g_current : g_defaultCursor;
}

void BeginWaitCursor()
{
    CurrentWaitCursor().Begin();
}

void EndWaitCursor()
{
    CurrentWaitCursor().End();
}

} // namespace oskel::ui
