#include "QtMessageBox.h"

#include "Resources.h"
#include "TemplateDialog.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

#include <QApplication>
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

} // namespace

std::unique_ptr<QMessageBox> QtMessageBox::Create(const std::string& text, unsigned type, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(ToQt(res::LoadString(res::IDS_APP_TITLE)));
    box->setWindowIcon(ProgramIcon());
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    box->setIcon(IconOf(type));
    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    for (const ButtonSpec& spec : buttons) {
        QPushButton* button = box->addButton(spec.button);
        button->setProperty(kResultProperty, spec.result);
    }
    const size_t defaultIndex = (type & 0xF00) == ui::MB_DEFBUTTON2 && buttons.size() > 1 ? 1 : 0;
    box->setDefaultButton(buttons[defaultIndex].button);
    if ((type & 0xF) == ui::MB_OK)
        box->setEscapeButton(QMessageBox::Ok);
    else if ((type & 0xF) == ui::MB_YESNO)
        box->setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    else
        box->setEscapeButton(QMessageBox::Cancel);
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
    const auto box = Create(text, type, QApplication::activeWindow());
    // A Yes/No box cannot be closed without an answer: the close box is off.
    if ((type & 0xF) == ui::MB_YESNO)
        box->setWindowFlags(box->windowFlags() & ~Qt::WindowCloseButtonHint);
    box->exec();
    return Result(*box);
}

} // namespace oskel::qt
