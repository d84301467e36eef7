#include "platform/cp1252.h"
#include "common/ui.h"
#include "ui/qt_user_interface.h"
#include "ui_helpers.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace vardo {
namespace {

using test::whenModal;

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

struct BoxCase {
    int type;
    QStringList buttons;
    QMessageBox::Icon icon;
    QString defaultButton;
    QString press; // a button's text, or "Enter" / "Esc"
    int expected;
};

TEST(MessageBox, EachTypeHasItsButtonsIconAndDefault) {
    const QString yes = QString::fromUtf8("&Sì");
    const BoxCase cases[] = {
        {MSG_INFO, {"OK"}, QMessageBox::Information, "OK", "Enter", BTN_OK},
        {MSG_OKCANCEL, {"OK", "Annulla"}, QMessageBox::Question, "OK", "Annulla", BTN_CANCEL},
        {MSG_YESNOCANCEL, {yes, "&No", "Annulla"}, QMessageBox::Question, yes, "&No", BTN_NO},
        {MSG_YESNO, {yes, "&No"}, QMessageBox::Question, yes, yes, BTN_YES},
        {MSG_YESNO_NO, {yes, "&No"}, QMessageBox::Question, "&No", "Enter", BTN_NO},
        {MSG_STOP, {"OK", "Annulla"}, QMessageBox::Critical, "OK", "Esc", BTN_CANCEL},
    };
    QtUserInterface ui;
    QWidget owner;
    owner.show();
    for (const BoxCase& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        whenModal([&](QWidget* shown) {
            auto* box = dynamic_cast<QMessageBox*>(shown);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Attenzione"));
            EXPECT_EQ(box->text(), QString::fromUtf8("Il file è in uso.\nRiprovare?"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->parentWidget(), &owner);
            QStringList texts;
            QAbstractButton* toPress = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                texts << b->text();
                if (b->text() == c.press) toPress = b;
            }
            EXPECT_EQ(sorted(texts), sorted(c.buttons));
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->text(), c.defaultButton);
            if (c.press == "Enter")
                QTest::keyClick(box, Qt::Key_Return);
            else if (c.press == "Esc")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (toPress)
                QTest::mouseClick(toPress, Qt::LeftButton);
            else
                box->done(0);
        });
        EXPECT_EQ(ui.messageBox("Il file è in uso.\nRiprovare?"_cp, "Attenzione", c.type),
                  c.expected);
    }
}

} // namespace
} // namespace vardo
