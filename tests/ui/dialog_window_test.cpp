#include "common/dialog.h"
#include "common/error.h"
#include "ui/grid_view.h"
#include "ui/qt_user_interface.h"
#include "ui_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vardo {
namespace {

using test::waitUntil;
using test::whenModal;

template <class W> W* control(QWidget* dialog, int id) {
    W* found = dialog->findChild<W*>(QString::number(id));
    EXPECT_NE(found, nullptr) << "control " << id;
    return found;
}

QRect inDialog(QWidget* dialog, QWidget* w) {
    return QRect(w->mapTo(dialog, QPoint()), w->size());
}

// The name, a date and an amount, with the question before discarding.
Dialog entryDialog() {
    Dialog d("PROVA", "Prova");
    d.asksBeforeDiscard = true;
    d.add({.id = 101, .kind = ControlKind::Label, .label = "&Nome:"});
    d.add({.id = 102, .kind = ControlKind::Edit, .value = std::string(), .length = 20});
    d.add({.id = 103, .kind = ControlKind::Edit, .label = "Data:", .value = Date()});
    d.add({.id = 104,
           .kind = ControlKind::Edit,
           .label = "Importo:",
           .value = 0.0,
           .picture = "@E 999,999.99"});
    d.add({.id = 105, .kind = ControlKind::CheckBox, .label = "Pagata", .value = false});
    addConfirmCancel(d);
    return d;
}

class DialogWindowTest : public ::testing::Test {
protected:
    QtUserInterface ui;
};

TEST_F(DialogWindowTest, KeysTypeWhatThePictureSays) {
    Dialog d = entryDialog();
    whenModal([&](QWidget* shown) {
        auto* name = control<QLineEdit>(shown, 102);
        auto* amount = control<QLineEdit>(shown, 104);
        ASSERT_TRUE(waitUntil([&] { return name->hasFocus(); }));
        QTest::keyClicks(name, "rossi");
        EXPECT_EQ(name->text().toStdString(), "rossi               ");
        QTest::keyClick(name, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(amount->hasFocus());
        EXPECT_EQ(amount->selectedText(), amount->text()); // typing replaces it
        QTest::keyClicks(amount, "12.5-x");
        EXPECT_EQ(amount->text(), "12,5");
        QTest::keyClick(amount, Qt::Key_Tab);
        EXPECT_TRUE(control<QCheckBox>(shown, 105)->hasFocus());
        EXPECT_EQ(amount->text().trimmed(), "12,50");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the default button
    });
    EXPECT_EQ(ui.runDialog(d), 1);
    EXPECT_EQ(asText(d.ITEM(102)->value), "rossi               ");
    EXPECT_DOUBLE_EQ(asNumber(d.ITEM(104)->value), 12.5);
}

TEST_F(DialogWindowTest, BadDateIsMarkedRedAndKeepsTheFocusAndEscAsks) {
    Dialog d = entryDialog();
    whenModal([&](QWidget* shown) {
        auto* date = control<QLineEdit>(shown, 103);
        auto* mark = shown->findChild<QWidget*>("invalidMark");
        ASSERT_NE(mark, nullptr);
        ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() != nullptr; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(date->hasFocus());
        QTest::keyClicks(date, "31/02/2024");
        EXPECT_EQ(date->text(), "31/02/2024");

        whenModal([&](QWidget* message) {
            auto* box = dynamic_cast<QMessageBox*>(message);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Data non valida.");
            EXPECT_EQ(box->icon(), QMessageBox::Information);
            // Two red pixel lines just under the field while the message is up.
            QRect field = inDialog(shown, date);
            EXPECT_TRUE(mark->isVisible());
            EXPECT_EQ(mark->geometry(), QRect(field.left(), field.bottom() + 1, field.width(), 2));
            QImage drawn = shown->grab().toImage();
            for (int y : {field.bottom() + 1, field.bottom() + 2})
                EXPECT_EQ(drawn.pixelColor(field.center().x(), y), QColor(255, 0, 0));
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::mouseClick(control<QPushButton>(shown, 201), Qt::LeftButton);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_FALSE(mark->isVisible());
        EXPECT_TRUE(waitUntil([&] { return date->hasFocus(); }));

        whenModal([&](QWidget* message) {
            auto* box = dynamic_cast<QMessageBox*>(message);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Annullo le modifiche?");
            EXPECT_EQ(box->defaultButton()->text(), "&No");
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::keyClick(date, Qt::Key_Escape);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_TRUE(waitUntil([&] { return date->hasFocus(); }));

        whenModal([&](QWidget* message) {
            auto* box = dynamic_cast<QMessageBox*>(message);
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8("&Sì")) QTest::mouseClick(b, Qt::LeftButton);
        });
        QTest::keyClick(date, Qt::Key_Escape);
    });
    EXPECT_EQ(ui.runDialog(d), 0);
}

TEST_F(DialogWindowTest, LayoutFollowsHintsAndTabFollowsTheTemplate) {
    Dialog d("PERIODO", "Periodo");
    d.add({.id = 101, .kind = ControlKind::Label, .label = "&Cliente:"});
    d.add({.id = 102, .kind = ControlKind::Edit, .value = std::string(), .length = 30});
    d.add({.id = 103,
           .kind = ControlKind::Edit,
           .label = "Dal:",
           .value = Date(),
           .row = 1,
           .col = 0});
    d.add({.id = 104,
           .kind = ControlKind::Edit,
           .label = "Al:",
           .value = Date(),
           .row = 1,
           .col = 1});
    d.add({.id = 105,
           .kind = ControlKind::Edit,
           .label = "File:",
           .value = std::string(),
           .length = 40});
    d.add({.id = 106, .kind = ControlKind::Button, .label = "Sfoglia"});
    addConfirmCancel(d);
    whenModal([&](QWidget* shown) {
        auto rect = [&](int id) { return inDialog(shown, control<QWidget>(shown, id)); };
        auto label = control<QLabel>(shown, 101);
        EXPECT_EQ(label->buddy(), control<QWidget>(shown, 102));
        EXPECT_LT(rect(101).right(), rect(102).left());
        EXPECT_NEAR(rect(101).center().y(), rect(102).center().y(), 2);
        // Side by side by their hints; the next field back under the first column.
        EXPECT_EQ(rect(103).top(), rect(104).top());
        EXPECT_LT(rect(103).right(), rect(104).left());
        EXPECT_GT(rect(103).top(), rect(102).bottom());
        EXPECT_EQ(rect(105).left(), rect(102).left());
        EXPECT_EQ(rect(103).left(), rect(102).left());
        // "Sfoglia" beside its field; the dialog's buttons in a row at the bottom.
        EXPECT_NEAR(rect(106).center().y(), rect(105).center().y(), 2);
        EXPECT_GT(rect(106).left(), rect(105).right());
        EXPECT_EQ(rect(201).top(), rect(202).top());
        EXPECT_GT(rect(201).top(), rect(106).bottom());
        EXPECT_LT(rect(201).right(), rect(202).left());

        QStringList order;
        ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() != nullptr; }));
        for (int i = 0; i < 7; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, QStringList({"102", "103", "104", "105", "106", "201", "202"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(ui.runDialog(d), 0);
}

TEST_F(DialogWindowTest, EveryKindOfControlShowsAndReportsToTheModel) {
    Grid grid;
    grid.columns = {{.title = "NOME", .width = 120, .cell = [] { return std::string("Rossi"); }}};
    grid.source = std::make_shared<test::ListSource>(3);
    int printed = 0;
    Dialog d("TUTTI", "Tutti");
    d.add({.id = 101, .kind = ControlKind::Label, .label = "Etichetta"});
    d.add({.id = 102,
           .kind = ControlKind::Edit,
           .label = "Password:",
           .value = std::string("segreto"),
           .length = 10,
           .hidden = true});
    d.add({.id = 103,
           .kind = ControlKind::Edit,
           .label = "Importo:",
           .value = 1234.5,
           .picture = "@E 999,999.99",
           .rightAlign = true});
    d.add({.id = 104,
           .kind = ControlKind::MultiLine,
           .value = std::string("Riga uno\r\nRiga due"),
           .font = "Consolas"});
    d.add({.id = 105, .kind = ControlKind::CheckBox, .label = "Incerto", .threeState = true});
    d.add({.id = 106,
           .kind = ControlKind::ComboBox,
           .label = "Pagamento:",
           .value = std::string(),
           .items = {"Rimessa diretta", "30 giorni"}});
    d.add({.id = 107,
           .kind = ControlKind::DropDown,
           .label = "Aliquota:",
           .value = std::string("10"),
           .items = {"4", "10", "22"}});
    d.add({.id = 108,
           .kind = ControlKind::Radio,
           .label = "Tipo:",
           .value = 1.0,
           .items = {"Fattura", "Nota di credito"}});
    d.add({.id = 109, .kind = ControlKind::GroupBox, .label = "Altro"});
    d.add({.id = 110, .kind = ControlKind::Image, .bitmap = "KOBA"});
    d.add({.id = 111,
           .kind = ControlKind::BitmapButton,
           .label = "Stampa",
           .bitmap = "STAMPA",
           .action = [&] { ++printed; }});
    d.add({.id = 112, .kind = ControlKind::Browse, .grid = std::make_shared<Grid>(grid)});
    d.add({.id = 202, .kind = ControlKind::Button, .label = "&Annulla"});

    whenModal([&](QWidget* shown) {
        EXPECT_EQ(control<QLabel>(shown, 101)->text(), "Etichetta");
        auto* password = control<QLineEdit>(shown, 102);
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_EQ(password->text(), "segreto   ");
        auto* amount = control<QLineEdit>(shown, 103);
        EXPECT_TRUE(amount->alignment() & Qt::AlignRight);
        EXPECT_EQ(amount->text().trimmed(), "1.234,50");
        auto* text = control<QPlainTextEdit>(shown, 104);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->toPlainText(), "Riga uno\nRiga due");
        EXPECT_EQ(QFontInfo(text->font()).family(), "DejaVu Sans Mono");

        auto* check = control<QCheckBox>(shown, 105);
        EXPECT_EQ(check->checkState(), Qt::PartiallyChecked);
        const std::pair<Qt::CheckState, char> clicks[] = {
            {Qt::Checked, 'L'}, {Qt::Unchecked, 'L'}, {Qt::PartiallyChecked, 'U'}};
        for (auto [state, type] : clicks) {
            QTest::mouseClick(check, Qt::LeftButton);
            EXPECT_EQ(check->checkState(), state);
            EXPECT_EQ(valueType(d.ITEM(105)->value), type);
        }
        EXPECT_TRUE(asBool(d.ITEM(105)->value) == false);

        auto* combo = control<QComboBox>(shown, 106);
        EXPECT_TRUE(combo->isEditable());
        QTest::keyClicks(combo->lineEdit(), "60 gg");
        EXPECT_EQ(d.ITEM(106)->edit.text, "60 gg");
        auto* drop = control<QComboBox>(shown, 107);
        EXPECT_FALSE(drop->isEditable());
        EXPECT_EQ(drop->currentText(), "10");
        QTest::keyClick(drop, Qt::Key_Down);
        EXPECT_EQ(asText(d.ITEM(107)->value), "22");

        auto radios = control<QWidget>(shown, 108)->findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 2);
        EXPECT_TRUE(radios[0]->isChecked());
        QTest::mouseClick(radios[1], Qt::LeftButton);
        EXPECT_EQ(asNumber(d.ITEM(108)->value), 2.0);

        EXPECT_EQ(control<QGroupBox>(shown, 109)->title(), "Altro");
        EXPECT_FALSE(control<QLabel>(shown, 110)->pixmap().isNull());
        auto* print = control<QPushButton>(shown, 111);
        EXPECT_FALSE(print->icon().isNull());
        QTest::mouseClick(print, Qt::LeftButton);
        EXPECT_EQ(printed, 1);
        EXPECT_EQ(control<GridView>(shown, 112)->model()->rowCount(), 3);
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_EQ(ui.runDialog(d), 0);
}

TEST_F(DialogWindowTest, AnErrorInAnActionIsReportedAndTheDialogGoesOn) {
    Dialog d("ERRORE", "Errore");
    d.add({.id = 101, .kind = ControlKind::Button, .label = "Apri", .action = [] {
               throw fileError(EG_OPEN, 2, "PIPPO.DBF");
           }});
    d.add({.id = 202, .kind = ControlKind::Button, .label = "&Annulla"});
    whenModal([&](QWidget* shown) {
        whenModal([&](QWidget* message) {
            auto* box = dynamic_cast<QMessageBox*>(message);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Impossibile aprire il file PIPPO.DBF.");
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::mouseClick(control<QPushButton>(shown, 101), Qt::LeftButton);
        EXPECT_TRUE(shown->isVisible());
        QTest::mouseClick(control<QPushButton>(shown, 202), Qt::LeftButton);
    });
    EXPECT_EQ(ui.runDialog(d), 2);
}

} // namespace
} // namespace vardo
