#include "ui/qt_user_interface.h"
#include "ui/wait_box.h"
#include "ui_helpers.h"

#include <QCursor>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vardo {
namespace {

using test::visibleWindow;
using test::waitUntil;

class WaitBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    }

    QtUserInterface ui;
    QWidget owner;
};

int longestLine(const QWidget& box, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split('\n'))
        widest = std::max(widest, box.fontMetrics().horizontalAdvance(line));
    return widest;
}

TEST_F(WaitBoxTest, IsNotModalRefusesEscAndDisablesTheActiveWindow) {
    ui.openWaitBox("Attendere prego...\nControllo l'archivio dei clienti", "Attendere");
    auto* box = visibleWindow<WaitBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Attendere");
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(owner.isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // The text sits 65 pixels from the left and 25 from the top; the box is as
    // wide as its longest line plus 110 and (lines + 5) lines high.
    QLabel* label = nullptr;
    QString text = box->text();
    for (QLabel* l : box->findChildren<QLabel*>())
        if (l->text() == text) label = l;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pos(), QPoint(65, 25));
    EXPECT_EQ(box->width(), longestLine(*box, text) + 110);
    EXPECT_EQ(box->height(), 7 * box->fontMetrics().height());

    QTest::keyClick(box, Qt::Key_Escape);
    box->close(); // what Alt+F4 asks
    QCoreApplication::processEvents();
    EXPECT_TRUE(box->isVisible());

    QString longer = "Sto copiando il file molto lungo di fatture del 2024";
    ui.setWaitText(longer.toStdString());
    EXPECT_EQ(box->text(), longer);
    EXPECT_EQ(box->width(), longestLine(*box, longer) + 108);

    QPointer<WaitBox> closing(box);
    ui.closeWaitBox();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return closing.isNull(); }));
}

TEST_F(WaitBoxTest, PrintProgressCountsPagesWithoutCancelButton) {
    ui.openPrintProgress();
    auto* box = visibleWindow<WaitBox>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Attendere");
    EXPECT_FALSE(owner.isEnabled());
    QStringList labels;
    for (QLabel* l : box->findChildren<QLabel*>()) labels << l->text();
    EXPECT_TRUE(labels.contains("Sto stampando la pagina n.:"));
    auto* printer = box->findChild<QPushButton*>("101");
    ASSERT_NE(printer, nullptr);
    EXPECT_FALSE(printer->icon().isNull());
    for (QPushButton* b : box->findChildren<QPushButton*>()) EXPECT_NE(b->text(), "&Annulla");

    auto* page = box->findChild<QLabel*>("102");
    ASSERT_NE(page, nullptr);
    ui.setPrintPage(1);
    EXPECT_EQ(page->text(), "1");
    ui.setPrintPage(12);
    EXPECT_EQ(page->text(), "12");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(box->isVisible());
    ui.closeWaitBox();
    EXPECT_TRUE(owner.isEnabled());
}

} // namespace
} // namespace vardo
