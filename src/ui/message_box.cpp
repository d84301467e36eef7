#include "ui/message_box.h"

#include "common/ui.h"
#include "ui/qt_text.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace vardo {

namespace {

struct BoxType {
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

BoxType boxType(int type) {
    using B = QMessageBox;
    switch (type) {
    case MSG_OKCANCEL:
        return {B::Question, B::Ok | B::Cancel, B::Ok};
    case MSG_YESNOCANCEL:
        return {B::Question, B::Yes | B::No | B::Cancel, B::Yes};
    case MSG_YESNO:
        return {B::Question, B::Yes | B::No, B::Yes};
    case MSG_YESNO_NO:
        return {B::Question, B::Yes | B::No, B::No};
    case MSG_STOP:
        return {B::Critical, B::Ok | B::Cancel, B::Ok};
    default:
        return {B::Information, B::Ok, B::Ok};
    }
}

int buttonResult(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return BTN_OK;
    case QMessageBox::Yes:
        return BTN_YES;
    case QMessageBox::No:
        return BTN_NO;
    default:
        return BTN_CANCEL;
    }
}

} // namespace

int showMessageBox(const std::string& text, const std::string& title, int type, QWidget* owner) {
    BoxType t = boxType(type);
    QMessageBox box(t.icon, toQt(title), toQt(text), t.buttons, owner);
    box.setTextFormat(Qt::PlainText);
    // The desktop speaks the program's language.
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "Annulla"},
        {QMessageBox::Yes, QString::fromUtf8("&Sì")},
        {QMessageBox::No, "&No"},
    };
    for (const auto& [which, caption] : captions)
        if (QAbstractButton* b = box.button(which)) b->setText(caption);
    box.setDefaultButton(t.defaultButton);
    box.setEscapeButton(t.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                        : t.buttons.testFlag(QMessageBox::No)   ? QMessageBox::No
                                                                : QMessageBox::Ok);
    box.exec();
    // The desktop gives the owner back its activation; a bare X server does not.
    if (owner) owner->activateWindow();
    QAbstractButton* clicked = box.clickedButton();
    // Closed without a button: the answer of the escape button.
    if (!clicked) clicked = box.escapeButton();
    return buttonResult(box.standardButton(clicked));
}

} // namespace vardo
