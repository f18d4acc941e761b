#include "WindowOwner.h"

#include "TemplateDialog.h"

#include <algorithm>

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace oskel::qt {

QWidget* ActiveOwner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && !top->isMinimized())
            return top;
    }
    return nullptr;
}

void PlaceAbove(QWidget& window, QWidget* owner)
{
    QWidget* over = owner != nullptr ? owner->window() : nullptr;
    if (auto* dialog = qobject_cast<CTemplateDialog*>(&window))
        dialog->FitToScreen();
    if (window.layout() != nullptr)
        window.layout()->activate();
    window.adjustSize();
    window.winId(); // the native window, so it can be told its owner
    if (over != nullptr && over != &window && window.windowHandle() != nullptr && over->windowHandle() != nullptr)
        window.windowHandle()->setTransientParent(over->windowHandle());

    CentreOver(window, over);
}

void CentreOver(QWidget& window, const QWidget* owner)
{
    const QScreen* screen = owner != nullptr ? owner->screen() : window.screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    QRect placed(QPoint(0, 0), window.frameGeometry().size());
    placed.moveCenter(owner != nullptr ? owner->frameGeometry().center() : area.center());
    if (area.isValid()) {
        placed.moveRight(std::min(placed.right(), area.right()));
        placed.moveBottom(std::min(placed.bottom(), area.bottom()));
        placed.moveLeft(std::max(placed.left(), area.left()));
        placed.moveTop(std::max(placed.top(), area.top()));
    }
    window.move(placed.topLeft());
}

} // namespace oskel::qt
