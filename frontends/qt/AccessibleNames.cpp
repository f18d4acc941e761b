#include "AccessibleNames.h"

#include "BitmapPushButton.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace oskel::qt {
namespace {

bool ShowsNoTextOfItsOwn(const QWidget* w)
{
    return qobject_cast<const QAbstractItemView*>(w) != nullptr || qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QLineEdit*>(w) != nullptr || qobject_cast<const QProgressBar*>(w) != nullptr;
}

} // namespace

QString SpokenCaption(const QString& caption)
{
    QString spoken;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        spoken += caption[i];
    }
    if (spoken.size() > 1 && spoken == spoken.toUpper() && spoken != spoken.toLower())
        spoken = spoken.left(1) + spoken.mid(1).toLower();
    return spoken;
}

void NameControlsForScreenReaders(const std::vector<QWidget*>& controls)
{
    QWidget* previous = nullptr;
    for (QWidget* w : controls) {
        if (auto* bitmap = qobject_cast<CBitmapPushButton*>(w)) {
            bitmap->setAccessibleName(SpokenCaption(bitmap->text()));
        } else if (ShowsNoTextOfItsOwn(w)) {
            const auto* group = qobject_cast<QGroupBox*>(previous);
            if (group != nullptr && group->geometry().contains(w->geometry()))
                w->setAccessibleName(SpokenCaption(group->title()));
            else if (auto* label = qobject_cast<QLabel*>(previous))
                label->setBuddy(w);
        }
        previous = w;
    }
}

} // namespace oskel::qt
