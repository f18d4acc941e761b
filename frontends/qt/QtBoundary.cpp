#include "QtBoundary.h"

#include <QApplication>
#include <QCursor>

namespace oskel::qt {

QtWaitCursor::~QtWaitCursor()
{
    while (m_depth > 0)
        End();
}

void QtWaitCursor::Begin()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++m_depth;
}

void QtWaitCursor::End()
{
    if (m_depth == 0)
        return;
    --m_depth;
    QGuiApplication::restoreOverrideCursor();
}

unsigned ModifierMask(Qt::KeyboardModifiers modifiers)
{
    unsigned mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        mask |= ui::kModShift;
    if (modifiers.testFlag(Qt::ControlModifier))
        mask |= ui::kModCtrl;
    if (modifiers.testFlag(Qt::AltModifier))
        mask |= ui::kModAlt;
    return mask;
}

unsigned QtModifierKeys::HeldModifiers()
{
    return ModifierMask(QGuiApplication::queryKeyboardModifiers());
}

void PumpPendingMessages()
{
    // A quit requested here already tells every running event loop, the
    // application's main loop included, to exit when control returns to it.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace oskel::qt
