#include "CameraNotFoundWindow.h"

#include "ListBox.h"
#include "WindowOwner.h"
#include "res/DialogTemplates.h"

#include <QApplication>
#include <QLabel>

#include <algorithm>

namespace oskel::qt {
namespace {

constexpr int kMargin = 7; // dialog units, as the template's own margins
constexpr int kPortList = 1010;
constexpr int kSpeedList = 1011;

} // namespace

QString KeepHyphenatedNamesWhole(const QString& text)
{
    // A word joiner after a hyphen between two letters or digits, in words
    // that are not paths (a long device path may still break anywhere).
    QString kept;
    kept.reserve(text.size());
    bool inPath = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace())
            inPath = false;
        else if (text[i] == QLatin1Char('/'))
            inPath = true;
        kept += text[i];
        if (!inPath && text[i] == QLatin1Char('-') && i > 0 && i + 1 < text.size() &&
            text[i - 1].isLetterOrNumber() && text[i + 1].isLetterOrNumber())
            kept += QChar(0x2060);
    }
    return kept;
}

CCameraNotFoundWindow::CCameraNotFoundWindow(ui::ListModel& ports, ui::ListModel& speeds,
                                             const ui::CameraNotFoundDetails& details, QWidget* parent)
    : CTemplateDialog(res::IDD_CAMERA_NOT_FOUND, parent)
{
    setModal(true);
    if (auto* list = Item<CDropDownList>(kPortList))
        list->Bind(&ports);
    if (auto* list = Item<CDropDownList>(kSpeedList))
        list->Bind(&speeds);
    if (!details.reason.empty())
        AddReasonLine(details.reason);
}

void CCameraNotFoundWindow::AddReasonLine(const std::string& reason)
{
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("id%1").arg(IDC_REASON));
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setWordWrap(true);
    m_reason->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->setText(KeepHyphenatedNamesWhole(ToQt(reason)));
    PlaceReasonLine();
}

void CCameraNotFoundWindow::PlaceReasonLine()
{
    if (m_reason == nullptr)
        return;
    int bottom = 0; // of the template's controls, in dialog units
    int left = Template().cx, right = 0;
    for (const res::DialogControl& c : Template().controls) {
        bottom = std::max(bottom, c.y + (c.kind == res::ControlKind::ComboBox ? 0 : c.cy));
        left = std::min(left, c.x);
        right = std::max(right, c.x + c.cx);
    }
    const QRect place = Units().Map(left, bottom + kMargin, right - left, 0);
    const int height = m_reason->heightForWidth(place.width());
    m_reason->setGeometry(place.x(), place.y(), place.width(), height);
    setFixedSize(width(), place.y() + height + Units().MapY(kMargin));
}

void CCameraNotFoundWindow::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    // The first control that takes the focus: the port list.
    if (QWidget* first = GetDlgItem(kPortList))
        first->setFocus();
}

int QtCameraNotFoundView::DoModal(ui::ListModel& ports, ui::ListModel& speeds,
                                  const ui::CameraNotFoundDetails& details)
{
    CCameraNotFoundWindow window(ports, speeds, details);
    PlaceAbove(window, ActiveOwner());
    return window.exec();
}

} // namespace oskel::qt
