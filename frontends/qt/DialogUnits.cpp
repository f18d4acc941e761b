#include "DialogUnits.h"

#include "res/DialogTemplates.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <cstdint>
#include <cstdlib>

namespace oskel::qt {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::llabs(static_cast<int64_t>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(static_cast<int64_t>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int DialogUnits::MapX(int units) const
{
    return MulDiv(units, m_baseX, 4);
}

int DialogUnits::MapY(int units) const
{
    return MulDiv(units, m_baseY, 8);
}

QRect DialogUnits::Map(int x, int y, int cx, int cy) const
{
    return {MapX(x), MapY(y), MapX(cx), MapY(cy)};
}

QFont DialogFont(const res::DialogTemplate& dialogTemplate)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QString face = QString::fromUtf8(dialogTemplate.fontFace.data(),
                                           static_cast<qsizetype>(dialogTemplate.fontFace.size()));
    QFont wanted(face);
    if (!face.isEmpty() && QFontInfo(wanted).family().compare(face, Qt::CaseInsensitive) == 0) {
        font = wanted;
    } else {
        // The desktop's own user-interface font, a sans-serif on every
        // desktop; the hint picks a sans-serif should that face be missing.
        font.setStyleHint(QFont::SansSerif);
    }
    if (dialogTemplate.pointSize > 0)
        font.setPointSize(dialogTemplate.pointSize);
    return font;
}

} // namespace oskel::qt
