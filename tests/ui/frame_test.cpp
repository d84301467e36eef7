#include "common/ui.h"
#include "common/window.h"
#include "ui/frame_window.h"
#include "ui/grid_view.h"
#include "ui/qt_user_interface.h"
#include "ui_helpers.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

namespace vardo {
namespace {

using test::ListSource;
using test::waitUntil;

// Runs `body` inside the frame once it is shown, then closes the frame.
void insideFrame(UserInterface& ui, Window& frame, std::function<void(FrameWindow&)> body) {
    frame.onFirstShow = [&] {
        auto* shown = test::visibleWindow<FrameWindow>();
        if (!shown) {
            ADD_FAILURE() << "no frame shown";
        } else {
            body(*shown);
        }
        if (frame.view) frame.view->close();
    };
    ui.runFrame(frame);
}

QStringList menuTitles(QMainWindow& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

QMenu* menuNamed(QMainWindow& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

Window sampleFrame(int& opened) {
    Window w{.caption = "VARDO! - Fatturazione", .icon = "ICONA"};
    w.menus = {
        {"File",
         {{.text = "Nuovo file...", .prompt = "Crea un nuovo file di fatture"},
          {.text = "Apri file...",
           .prompt = "Apre un file di fatture esistente",
           .action = [&] { ++opened; }},
          {},
          {.text = "Copia file...", .prompt = "Copia un file di fatture", .enabled = false}}},
        {"?", {{.text = "Informazioni", .prompt = "Visualizza informazioni sul programma"}}},
    };
    w.toolbar = {
        {.bitmap = "NUOVO", .label = "Nuovo", .tooltip = "Nuovo file"},
        {.bitmap = "APRI", .label = "Apri", .tooltip = "Apri file", .action = [&] { ++opened; }},
        {.bitmap = "CLIENTI", .label = "Clienti", .tooltip = "Gestione clienti", .newGroup = true},
    };
    return w;
}

TEST(Frame, ShowsItsMenusToolbarAndMessageBar) {
    QtUserInterface ui;
    int opened = 0;
    Window frame = sampleFrame(opened);
    insideFrame(ui, frame, [&](FrameWindow& shown) {
        EXPECT_EQ(shown.windowTitle(), "VARDO! - Fatturazione");
        EXPECT_TRUE(shown.isMaximized());
        EXPECT_FALSE(shown.windowIcon().isNull());
        EXPECT_EQ(menuTitles(shown), QStringList({"File", "?"}));
        QMenu* file = menuNamed(shown, "File");
        ASSERT_NE(file, nullptr);
        QStringList items;
        for (QAction* a : file->actions()) items << (a->isSeparator() ? "-" : a->text());
        EXPECT_EQ(items, QStringList({"Nuovo file...", "Apri file...", "-", "Copia file..."}));
        EXPECT_FALSE(file->actions()[3]->isEnabled());

        // The prompt of the highlighted item is in the message bar.
        file->actions()[1]->hover();
        EXPECT_EQ(shown.statusBar()->currentMessage(), "Apre un file di fatture esistente");

        // Commands run once the event that chose them is over.
        file->actions()[1]->trigger();
        EXPECT_EQ(opened, 0);
        EXPECT_TRUE(waitUntil([&] { return opened == 1; }));

        auto* bar = shown.findChild<QToolBar*>();
        ASSERT_NE(bar, nullptr);
        QStringList buttons;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) {
                buttons << "-";
            } else if (auto* b = dynamic_cast<QToolButton*>(bar->widgetForAction(a))) {
                buttons << b->text() + "|" + b->toolTip();
                EXPECT_EQ(b->size(), QSize(60, 60));
                EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
                EXPECT_FALSE(b->icon().isNull());
            }
        }
        EXPECT_EQ(buttons, QStringList({"Nuovo|Nuovo file", "Apri|Apri file", "-",
                                        "Clienti|Gestione clienti"}));
        QTest::mouseClick(dynamic_cast<QToolButton*>(bar->widgetForAction(bar->actions()[1])),
                          Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return opened == 2; }));

        auto text = [&](const char* name) {
            auto* label = shown.statusBar()->findChild<QLabel*>(name);
            return label ? label->text() : QString();
        };
        EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(text("clock")).hasMatch());
        EXPECT_EQ(text("date"), QDate::currentDate().toString("dd/MM/yyyy"));
        EXPECT_EQ(text("caps"), "MAIUSC");
        EXPECT_EQ(text("num"), "NUM");
        EXPECT_EQ(text("insert"), "INS");

        // The bar's banded gradient: each half starts with its first colour.
        QImage drawn = shown.statusBar()->grab().toImage();
        EXPECT_EQ(drawn.pixelColor(4, 0), QColor(254, 254, 255));
        EXPECT_EQ(drawn.pixelColor(4, (drawn.height() + 1) / 2), QColor(212, 219, 237));
    });
    EXPECT_EQ(frame.view, nullptr);
}

// An invoice list of 10,000 rows that counts the cells it is asked for.
struct InvoiceList {
    std::shared_ptr<ListSource> source = std::make_shared<ListSource>(10000);
    std::set<int> computedRows;
    std::vector<std::pair<int, int>> clicks, doubleClicks;
    std::vector<int> enters;
    int added = 0, closeChecks = 0, focused = 0;

    Window window() {
        Window w{.caption = "/dati/FATTURE2024", .icon = "ICONA", .width = 1011, .height = 800};
        w.menus = {{"Modifica",
                    {{.text = "Nuova fattura...",
                      .hint = "ALT-N",
                      .prompt = "Aggiunge una nuova fattura",
                      .action = [this] { ++added; },
                      .accelerator = 'N'},
                     {.text = "Modifica fattura...", .hint = "Invio"}}}};
        w.toolbar = {{.bitmap = "AGGIUNGI", .label = "Nuova", .tooltip = "Nuova fattura (ALT-N)"}};
        Grid grid;
        auto number = [this] {
            computedRows.insert(source->current);
            return std::to_string(source->current + 1);
        };
        auto paid = [this] { return std::string(source->current % 2 ? "SELECT" : "NOSELECT"); };
        grid.columns = {
            {.title = "N.", .width = 32, .align = Align::Right, .cell = number},
            {.title = "CLIENTE", .width = 198, .cell = [] { return std::string("Rossi"); }},
            {.title = "S", .width = 16, .align = Align::Center, .cell = paid, .bitmap = true},
            {.title = "", .width = 0}};
        grid.source = source;
        grid.onClick = [this](int row, int column) { clicks.emplace_back(row, column); };
        grid.onDoubleClick = [this](int row, int column) {
            doubleClicks.emplace_back(row, column);
        };
        grid.onEnter = [this](int row) { enters.push_back(row); };
        w.grid = std::move(grid);
        w.onFocus = [this] { ++focused; };
        w.canClose = [this] {
            ++closeChecks;
            return !ui().escapeHeld();
        };
        return w;
    }
};

QPoint cellCentre(GridView& grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column)).center();
}

TEST(ChildWindow, GridComputesOnlyVisibleRowsAndReportsClicks) {
    QtUserInterface ui;
    int opened = 0;
    Window frame = sampleFrame(opened);
    InvoiceList list;
    Window child = list.window();
    insideFrame(ui, frame, [&](FrameWindow& shown) {
        ui.openChild(child);
        ASSERT_NE(child.view, nullptr);
        QMdiSubWindow* sub = shown.area()->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->windowTitle(), "/dati/FATTURE2024");
        EXPECT_EQ(sub->size(), QSize(1011, 800));
        // Its own menus replace the frame's while it is active.
        EXPECT_EQ(menuTitles(shown), QStringList({"Modifica"}));
        EXPECT_EQ(menuNamed(shown, "Modifica")->actions()[0]->text(), "Nuova fattura...\tALT-N");
        EXPECT_EQ(menuNamed(shown, "Modifica")->actions()[1]->text(), "Modifica fattura...\tInvio");
        EXPECT_GE(list.focused, 1);
        // A menu whose items changed is drawn again on the next refresh.
        child.menus[0].items.push_back({.text = "Elimina fattura...", .hint = "ALT-E"});
        ++child.menus[0].version;
        child.view->refresh();
        ASSERT_EQ(menuNamed(shown, "Modifica")->actions().size(), 3);
        EXPECT_EQ(menuNamed(shown, "Modifica")->actions()[2]->text(), "Elimina fattura...\tALT-E");

        auto* grid = sub->findChild<GridView*>();
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->model()->rowCount(), 10000);
        EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 198);
        EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "N.");
        EXPECT_EQ(grid->horizontalHeader()->grab().toImage().pixelColor(60, 0),
                  QColor(254, 254, 255));
        EXPECT_EQ(grid->model()->index(4, 1).data().toString(), "Rossi");
        EXPECT_EQ(grid->model()->index(4, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                  Qt::AlignRight);
        sub->grab();
        const int visible =
            grid->viewport()->height() / grid->verticalHeader()->defaultSectionSize() + 2;
        EXPECT_FALSE(list.computedRows.empty());
        EXPECT_LE(static_cast<int>(list.computedRows.size()), visible);
        EXPECT_LT(*list.computedRows.rbegin(), visible);
        EXPECT_EQ(list.source->current, 0) << "painting moved the program's row";

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 3, 2));
        EXPECT_EQ(list.clicks, (std::vector<std::pair<int, int>>{{3, 2}}));
        EXPECT_EQ(list.source->current, 3);
        EXPECT_EQ(grid->currentIndex().row(), 3);

        // A double click: its first click, then the double click, reported once.
        list.clicks.clear();
        QPoint at = cellCentre(*grid, 5, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(list.clicks, (std::vector<std::pair<int, int>>{{5, 1}}));
        EXPECT_EQ(list.doubleClicks, (std::vector<std::pair<int, int>>{{5, 1}}));

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        EXPECT_EQ(list.source->current, 6);
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_EQ(list.enters, std::vector<int>{6});
        QTest::keyClick(grid, Qt::Key_End);
        EXPECT_EQ(list.source->current, 9999);
        sub->grab();
        EXPECT_TRUE(list.computedRows.count(9999));

        // Alt+N is the window's accelerator, typed in its grid.
        QTest::keyClick(grid, Qt::Key_N, Qt::AltModifier);
        EXPECT_TRUE(waitUntil([&] { return list.added == 1; }));

        // Esc never closes the window; while it is held, closing is refused.
        QTest::keyClick(grid, Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_NE(child.view, nullptr);
        EXPECT_EQ(list.closeChecks, 0);
        QTest::keyPress(grid, Qt::Key_Escape);
        EXPECT_TRUE(ui.escapeHeld());
        sub->close();
        EXPECT_EQ(list.closeChecks, 1);
        EXPECT_NE(child.view, nullptr);
        QTest::keyRelease(grid, Qt::Key_Escape);
        EXPECT_FALSE(ui.escapeHeld());

        shown.showNormal();
        shown.resize(1280, 1000);
        sub->move(0, 0);
        EXPECT_TRUE(shown.grab().save(VARDO_BINARY_DIR "/ui-frame-with-child.png"));
    });
    EXPECT_EQ(list.closeChecks, 2);
    EXPECT_EQ(child.view, nullptr);
}

TEST(ChildWindow, ClosingTheFrameStopsAtTheFirstChildThatRefuses) {
    QtUserInterface ui;
    int opened = 0;
    Window frame = sampleFrame(opened);
    std::vector<std::string> asked;
    bool secondAgrees = false;
    Window first{.caption = "PRIMO"}, second{.caption = "SECONDO"};
    first.canClose = [&] {
        asked.push_back("PRIMO");
        return true;
    };
    second.canClose = [&] {
        asked.push_back("SECONDO");
        return secondAgrees;
    };
    frame.onFirstShow = [&] {
        ui.openChild(first);
        ui.openChild(second);
        auto* shown = test::visibleWindow<FrameWindow>();
        ASSERT_NE(shown, nullptr);
        shown->close();
        EXPECT_EQ(asked, std::vector<std::string>{"SECONDO"});
        EXPECT_TRUE(shown->isVisible());
        EXPECT_NE(first.view, nullptr);
        EXPECT_NE(second.view, nullptr);
        secondAgrees = true;
        shown->close();
    };
    ui.runFrame(frame);
    EXPECT_EQ(asked, (std::vector<std::string>{"SECONDO", "SECONDO", "PRIMO"}));
    EXPECT_EQ(first.view, nullptr);
    EXPECT_EQ(second.view, nullptr);
}

TEST(ChildWindow, ArrangeTilesSideBySideOrOneAboveTheOther) {
    QtUserInterface ui;
    int opened = 0;
    Window frame = sampleFrame(opened);
    Window first{.caption = "PRIMO"}, second{.caption = "SECONDO"};
    insideFrame(ui, frame, [&](FrameWindow& shown) {
        ui.openChild(first);
        ui.openChild(second);
        auto subs = shown.area()->subWindowList(QMdiArea::CreationOrder);
        ASSERT_EQ(subs.size(), 2);
        ui.arrangeChildren(Arrange::TileVertical);
        EXPECT_EQ(subs[0]->y(), subs[1]->y());
        EXPECT_EQ(subs[0]->geometry().right() + 1, subs[1]->x());
        ui.arrangeChildren(Arrange::TileHorizontal);
        EXPECT_EQ(subs[0]->x(), subs[1]->x());
        EXPECT_EQ(subs[0]->geometry().bottom() + 1, subs[1]->y());
        ui.arrangeChildren(Arrange::MinimiseAll);
        EXPECT_TRUE(subs[0]->isMinimized() && subs[1]->isMinimized());
        ui.arrangeChildren(Arrange::ArrangeIcons);
        EXPECT_EQ(subs[0]->y(), subs[1]->y());
        EXPECT_NE(subs[0]->x(), subs[1]->x());
    });
}

} // namespace
} // namespace vardo
