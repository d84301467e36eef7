// The invoice-file window on a real invoice file: its grid, the mouse and the
// keyboard in it, and closing it.

#include "shell/fixtures.h"
#include "shell/on_screen.h"
#include "store/utilities.h"
#include "support/work_folder.h"
#include "ui/child_window.h"
#include "ui/frame_window.h"
#include "ui/grid_view.h"
#include "ui/ui_helpers.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace vardo {
namespace {

namespace fs = std::filesystem;

constexpr int kPaid = 9, kPaymentDates = 10, kExported = 11;

QString amount(const char* text) {
    return QString(text).rightJustified(17);
}
const QString none(17, ' '), noDate(8, ' ');

// The invoice file of the sample invoices, ready to be opened.
class InvoiceWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeInvoiceFile(file, test::sampleInvoices()); }

    // Runs the program on the file; `body` gets its window and grid.
    void onWindow(const std::function<void(FrameWindow&, ChildWindow&, GridView&)>& body,
                  const Commands& commands = programCommands()) {
        bool ran = false;
        test::runProgram(
            file,
            [&](FrameWindow& frame) {
                ran = true;
                ChildWindow* child = test::onlyChild(frame);
                ASSERT_NE(child->grid(), nullptr);
                body(frame, *child, *child->grid());
            },
            commands);
        EXPECT_TRUE(ran);
    }

    // The record of a customer as it is on disk now.
    test::DiskRecord onDisk(const std::string& customer) {
        for (auto& record : test::readTableOnDisk(folder / "FATTURE.DBF"))
            if (record["CLIENTE"] == customer) return record;
        ADD_FAILURE() << "no record of " << customer;
        return {};
    }

    bool indexExists() { return fs::exists(folder / "FATTURE.NTX"); }

    test::WorkFolder folder;
    const std::string file = folder / "fatture";
};

QPoint cellCentre(GridView& grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column)).center();
}

QString cell(GridView& grid, int row, int column) {
    return grid.model()->index(row, column).data().toString();
}

// What the bitmap painted in a cell shows: "SELECT" has a red square, "NOSELECT"
// a white one; both have a black frame.
std::string paintedFlag(GridView& grid, int row, int column) {
    const QImage screen = grid.viewport()->grab().toImage();
    const QRect place = grid.visualRect(grid.model()->index(row, column));
    int red = 0, black = 0;
    for (int y = place.top(); y <= place.bottom(); ++y) {
        for (int x = place.left(); x <= place.right(); ++x) {
            QColor c = screen.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
            if (c.red() < 50 && c.green() < 50 && c.blue() < 50) ++black;
        }
    }
    if (black < 20) return "nothing";
    return red > 20 ? "SELECT" : "NOSELECT";
}

QWidgetList visibleTopLevels() {
    QWidgetList visible;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) visible << w;
    return visible;
}

// Nothing new on screen: no box or dialog, no other window.
void expectNothingOpened(FrameWindow& frame, const QWidgetList& before) {
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(visibleTopLevels(), before);
    EXPECT_NE(test::onlyChild(frame), nullptr);
}

QAction* closeFileItem(FrameWindow& frame) {
    for (QAction* a : test::menuNamed(frame, "File")->actions())
        if (a->text() == "Chiudi file") return a;
    return nullptr;
}

TEST_F(InvoiceWindowTest, GridShowsTheInvoicesInIndexOrderWithTheirAmounts) {
    struct Column {
        const char* title;
        int width;
        Qt::Alignment align;
    };
    const Column columns[] = {
        {"N.", 32, Qt::AlignRight},
        {"CLIENTE", 198, Qt::AlignLeft},
        {"DATA", 72, Qt::AlignHCenter},
        {"TOTALE", 80, Qt::AlignRight},
        {"INPS", 80, Qt::AlignRight},
        {"IMPONIBILE", 80, Qt::AlignRight},
        {"IVA", 80, Qt::AlignRight},
        {"R.A.", 80, Qt::AlignRight},
        {"NETTO", 80, Qt::AlignRight},
        {"S", 16, Qt::AlignHCenter},
        {"DATE PAGAMENTO", 140, Qt::AlignLeft},
        {"XML", 34, Qt::AlignHCenter},
        {"", 0, Qt::AlignLeft},
    };
    // Year of the date, then number; the deleted invoice is not shown.
    const std::vector<QStringList> rows = {
        {"1", "Verdi & C.", "30/12/2023", amount("1.000,00"), amount("40,00"), amount("1.040,00"),
         amount("228,80"), amount("208,00"), amount("1.060,80"), "SELECT", noDate + "   31/01/2024",
         "SELECT", ""},
        {"P", "Rossi", "01/02/2024", amount("123,45"), amount("4,94"), amount("128,39"),
         amount("28,25"), amount("25,68"), amount("130,96"), "NOSELECT", noDate + "   " + noDate,
         "NOSELECT", ""},
        {"7", "Città Nuova", "05/01/2024", none, none, none, none, none, none, "NOSELECT",
         "10/01/2024   20/01/2024", "SELECT", ""},
    };
    onWindow([&](FrameWindow&, ChildWindow& child, GridView& grid) {
        QAbstractItemModel& model = *grid.model();
        ASSERT_EQ(model.columnCount(), 13);
        for (int c = 0; c < 13; ++c) {
            SCOPED_TRACE(columns[c].title);
            EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), columns[c].title);
            EXPECT_EQ(grid.horizontalHeader()->sectionSize(c), columns[c].width);
            auto aligned = [&](QVariant v) {
                return Qt::Alignment(v.toInt()) & Qt::AlignHorizontal_Mask;
            };
            EXPECT_EQ(aligned(model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole)),
                      columns[c].align);
            EXPECT_EQ(aligned(model.index(0, c).data(Qt::TextAlignmentRole)), columns[c].align);
        }
        ASSERT_EQ(model.rowCount(), int(rows.size()));
        child.grab(); // painted once, as a person sees it
        for (int r = 0; r < model.rowCount(); ++r) {
            for (int c = 0; c < 13; ++c) {
                SCOPED_TRACE(testing::Message() << "row " << r << ", " << columns[c].title);
                if (c == kPaid || c == kExported) {
                    EXPECT_EQ(paintedFlag(grid, r, c), rows[r][c].toStdString());
                    EXPECT_EQ(cell(grid, r, c), "") << "a bitmap column shows no text";
                } else {
                    QString text = cell(grid, r, c);
                    EXPECT_EQ(c == 1 ? text.trimmed() : text, rows[r][c]);
                }
            }
        }
        EXPECT_TRUE(grid.horizontalScrollBar()->isVisible());
        // Opening leaves the last invoice current.
        EXPECT_EQ(grid.currentIndex().row(), 2);
    });
}

TEST_F(InvoiceWindowTest, AClickInTheSColumnMarksPaidAndASecondClearsIt) {
    const QString today = QDate::currentDate().toString("dd/MM/yyyy");
    onWindow([&](FrameWindow&, ChildWindow&, GridView& grid) {
        test::DiskRecord before = onDisk("Rossi");
        ASSERT_EQ(before["SALDATO"], "");
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 1, kPaid));
        EXPECT_EQ(grid.currentIndex().row(), 1);
        test::DiskRecord paid = onDisk("Rossi");
        EXPECT_EQ(paid["SALDATO"], "û");
        EXPECT_EQ(paid["DATAPAG"], today.toStdString());
        EXPECT_EQ(paid["DATAPAG2"], "");
        EXPECT_EQ(cell(grid, 1, kPaymentDates), today + "   " + noDate);
        EXPECT_EQ(paintedFlag(grid, 1, kPaid), "SELECT");

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 1, kPaid));
        test::DiskRecord cleared = onDisk("Rossi");
        EXPECT_EQ(cleared["SALDATO"], "");
        EXPECT_EQ(cleared["DATAPAG"], "");
        EXPECT_EQ(cleared["DATAPAG2"], "");
        EXPECT_EQ(cell(grid, 1, kPaymentDates), noDate + "   " + noDate);
        EXPECT_EQ(paintedFlag(grid, 1, kPaid), "NOSELECT");
        // Nothing else changed.
        before.erase("SALDATO"), cleared.erase("SALDATO");
        EXPECT_EQ(cleared, before);
    });
}

TEST_F(InvoiceWindowTest, ADoubleClickInTheXmlColumnTogglesOnceAndOpensNothing) {
    onWindow([&](FrameWindow& frame, ChildWindow&, GridView& grid) {
        const QWidgetList before = visibleTopLevels();
        ASSERT_EQ(onDisk("Rossi")["XML"], "F");
        // A double click as a mouse makes it: a click, then the double click.
        const QPoint at = cellCentre(grid, 1, kExported);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
        test::settle();
        EXPECT_EQ(onDisk("Rossi")["XML"], "T");
        EXPECT_EQ(paintedFlag(grid, 1, kExported), "SELECT");
        expectNothingOpened(frame, before);
    });
}

TEST_F(InvoiceWindowTest, WithoutAnEditorEnterAndDoubleClickElsewhereChangeNothing) {
    Commands withoutEditor = programCommands();
    withoutEditor.editInvoice = nullptr;
    onWindow(
        [&](FrameWindow& frame, ChildWindow&, GridView& grid) {
            const QWidgetList before = visibleTopLevels();
            const auto table = test::readTableOnDisk(folder / "FATTURE.DBF");
            const QPoint at = cellCentre(grid, 0, 1);
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
            test::settle();
            EXPECT_EQ(grid.currentIndex().row(), 0);
            grid.setFocus();
            QTest::keyClick(&grid, Qt::Key_Down);
            QTest::keyClick(&grid, Qt::Key_Return);
            QTest::keyClick(&grid, Qt::Key_Enter, Qt::KeypadModifier);
            test::settle();
            EXPECT_EQ(grid.currentIndex().row(), 1);
            EXPECT_EQ(test::readTableOnDisk(folder / "FATTURE.DBF"), table);
            expectNothingOpened(frame, before);
            EXPECT_EQ(cell(grid, 0, 1).trimmed(), "Verdi & C.");
        },
        withoutEditor);
}

TEST_F(InvoiceWindowTest, EscNeverClosesTheWindowAndChiudiFileDoes) {
    onWindow([&](FrameWindow& frame, ChildWindow& child, GridView& grid) {
        ASSERT_TRUE(indexExists());
        QTest::keyClick(&child, Qt::Key_Escape);
        QTest::keyClick(&grid, Qt::Key_Escape);
        test::settle();
        EXPECT_NE(test::onlyChild(frame), nullptr);

        // While Esc is held down, neither the menu, the close box nor the end
        // of the program closes it.
        QTest::keyPress(&grid, Qt::Key_Escape);
        closeFileItem(frame)->trigger();
        test::settle();
        EXPECT_FALSE(child.close());
        EXPECT_FALSE(frame.close());
        test::settle();
        EXPECT_EQ(test::onlyChild(frame), &child);
        EXPECT_TRUE(indexExists());
        QTest::keyRelease(&grid, Qt::Key_Escape);

        closeFileItem(frame)->trigger();
        EXPECT_TRUE(test::waitUntil([&] { return frame.children().empty(); }));
        EXPECT_FALSE(indexExists());
        EXPECT_FALSE(NETUSED(file)) << "the table is still held";
        // The frame's own menus are back.
        EXPECT_EQ(test::menuTitles(frame), QStringList({"File", "Modifica", "?"}));
    });
}

} // namespace
} // namespace vardo
