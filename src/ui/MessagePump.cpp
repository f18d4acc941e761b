#include "ui/MessagePump.h"

namespace oskel::ui {
namespace {

class NoMessages final : public IMessagePump {
public:
    bool RunPending() override { return true; }
};

NoMessages g_default;
IMessagePump* g_current = nullptr;

} // namespace

void SetMessagePump(IMessagePump* pump)
{
    g_current = pump;
}

IMessagePump& CurrentMessagePump()
{
    return g_current != nullptr ? *g_current : g_default;
}

} // namespace oskel::ui
