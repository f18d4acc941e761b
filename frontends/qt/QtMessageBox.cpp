#include "QtMessageBox.h"

#include "Resources.h"
#include "TemplateDialog.h"
#include "WindowOwner.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

#include <vector>

namespace oskel::qt {
namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

std::vector<ButtonSpec> ButtonsOf(unsigned type)
{
    switch (type & 0xF) {
    case ui::MB_OKCANCEL:
        return {{QMessageBox::Ok, ui::IDOK}, {QMessageBox::Cancel, ui::IDCANCEL}};
    case ui::MB_YESNOCANCEL:
        return {{QMessageBox::Yes, ui::IDYES}, {QMessageBox::No, ui::IDNO}, {QMessageBox::Cancel, ui::IDCANCEL}};
    case ui::MB_YESNO:
        return {{QMessageBox::Yes, ui::IDYES}, {QMessageBox::No, ui::IDNO}};
    default:
        return {{QMessageBox::Ok, ui::IDOK}};
    }
}

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & 0xF0) {
    case ui::MB_ICONHAND:
        return QMessageBox::Critical;
    case ui::MB_ICONQUESTION:
        return QMessageBox::Question;
    case ui::MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case ui::MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

const char* const kResultProperty = "oskelResult";

// A box without an answer for Escape (Yes/No) ignores Escape and the close
// box; Qt would otherwise take No for Escape.
class ClassicMessageBox final : public QMessageBox {
public:
    ClassicMessageBox(QWidget* parent, bool escapeAnswers) : QMessageBox(parent), m_escapeAnswers(escapeAnswers) {}

    // Centres the box over owner (the screen when none) once it has its
    // final size: the box lays its text out again as it is shown, and a
    // wrapped text changes its size then.
    void CentreWhenShown(QWidget* owner)
    {
        m_owner = owner;
        m_centre = true;
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (m_centre)
            CentreOver(*this, m_owner.isNull() ? nullptr : m_owner->window());
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!m_escapeAnswers && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!m_escapeAnswers) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool m_escapeAnswers;
    bool m_centre = false;
    QPointer<QWidget> m_owner;
};

} // namespace

int TitleRoom(const QWidget& window)
{
    // The window manager draws the title in a font of its own, often bold,
    // beside its icon and its buttons: the text's width in the bold window
    // font, and about six lines' height for the rest.
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(window.windowTitle()) + 6 * metrics.height();
}

void KeepRoomForTitle(QMessageBox& box)
{
    // The box takes its width from its layout's minimum: a spacer across the
    // bottom row makes it at least as wide as the title needs.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    grid->addItem(new QSpacerItem(TitleRoom(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                  1, grid->columnCount());
}

std::unique_ptr<QMessageBox> QtMessageBox::Create(const std::string& text, unsigned type, QWidget* parent)
{
    const bool yesNo = (type & 0xF) == ui::MB_YESNO;
    std::unique_ptr<QMessageBox> box = std::make_unique<ClassicMessageBox>(parent, !yesNo);
    box->setWindowTitle(ToQt(res::LoadString(res::IDS_APP_TITLE)));
    box->setWindowIcon(ProgramIcon());
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    box->setIcon(IconOf(type));
    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    for (const ButtonSpec& choice : buttons) {
        QPushButton* button = box->addButton(choice.button);
        button->setProperty(kResultProperty, choice.result);
    }
    const size_t defaultIndex = (type & 0xF00) == ui::MB_DEFBUTTON2 && buttons.size() > 1 ? 1 : 0;
    box->setDefaultButton(buttons[defaultIndex].button);
    if ((type & 0xF) == ui::MB_OK)
        box->setEscapeButton(QMessageBox::Ok);
    else if (!yesNo)
        box->setEscapeButton(QMessageBox::Cancel);
    else
        box->setWindowFlags(box->windowFlags() & ~Qt::WindowCloseButtonHint);
    // After the icon: setting it lays the box out anew.
    KeepRoomForTitle(*box);
    return box;
}

int QtMessageBox::Result(const QMessageBox& box)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr)
        return ui::IDCANCEL;
    const QVariant result = clicked->property(kResultProperty);
    return result.isValid() ? result.toInt() : ui::IDCANCEL;
}

int QtMessageBox::Show(const std::string& text, unsigned type, unsigned)
{
    const auto box = Create(text, type, nullptr);
    QWidget* owner = ActiveOwner();
    PlaceAbove(*box, owner);
    static_cast<ClassicMessageBox&>(*box).CentreWhenShown(owner);
    box->exec();
    return Result(*box);
}

} // namespace oskel::qt
