// The menus and toolbars of the frame and of an invoice-file window as the
// program draws them: every text, hint, prompt, accelerator, caption, tooltip,
// bitmap and group. An item whose command the program does not have yet is
// disabled.

#include "app/commands.h"
#include "commands.h"
#include "shell/fixtures.h"
#include "shell/on_screen.h"
#include "support/work_folder.h"
#include "ui/child_window.h"
#include "ui/frame_window.h"
#include "ui/resources.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vardo {
namespace {

using Needs = bool (*)(const Commands&);
template <auto command> bool has(const Commands& c) {
    return static_cast<bool>(c.*command);
}
bool always(const Commands&) {
    return true;
}

struct Item {
    std::string text; // empty: a separator
    std::string hint;
    std::string prompt;
    Needs needs = always;
};
struct MenuTable {
    std::string title;
    std::vector<Item> items;
};

struct Button {
    const char* bitmap;
    const char* label;
    const char* tooltip;
    Needs needs;
    bool newGroup = false;
};

const Item separator{};

std::vector<Item> fileItems(bool window) {
    std::vector<Item> items = {
        {"Nuovo file...", "", "Crea un nuovo file di fatture", has<&Commands::newFile>},
        {"Apri file...", "", "Apre un file di fatture esistente", has<&Commands::openFile>},
    };
    if (window)
        items.push_back(
            {"Chiudi file", "", "Conclude la sessione di lavoro su un file di fatture"});
    items.insert(
        items.end(),
        {
            separator,
            {"Copia file...", "", "Copia un file di fatture", has<&Commands::copyFile>},
            {"Elimina file...", "", "Elimina un file di fatture", has<&Commands::deleteFile>},
            separator,
            {"Imposta stampante...", "", "Seleziona la stampante", has<&Commands::printerSetup>},
        });
    return items;
}

const Item customersItem{"Gestione clienti...", "", "Gestisce l'archivio anagrafico dei clienti",
                         has<&Commands::customers>};
const Item einvoiceParametersItem{"Parametri fattura elettronica...", "",
                                  "Imposta i parametri per la fattura elettronica",
                                  has<&Commands::einvoiceParameters>};
const MenuTable helpMenu{"?", {{"Informazioni", "", "Visualizza informazioni sul programma"}}};

std::vector<MenuTable> frameMenus() {
    return {
        {"File", fileItems(false)},
        {"Modifica",
         {customersItem,
          separator,
          {"Parametri...", "", "Imposta i parametri di fatturazione", has<&Commands::parameters>},
          einvoiceParametersItem}},
        helpMenu,
    };
}

std::vector<MenuTable> windowMenus(const std::string& recentFile) {
    std::vector<Item> file = fileItems(true);
    file.push_back(separator);
    file.push_back({recentFile, "", "Apre questo file", has<&Commands::openPath>});
    return {
        {"File", file},
        {"Modifica",
         {{"Nuova fattura...", "ALT-N", "Aggiunge una nuova fattura", has<&Commands::newInvoice>},
          {"Modifica fattura...", "Invio", "Modifica una fattura", has<&Commands::editInvoice>},
          {"Duplica fattura...", "ALT-D",
           "Aggiunge una nuova fattura prendendo i dati da quella selezionata",
           has<&Commands::duplicateInvoice>},
          {"Elimina fattura...", "ALT-E", "Elimina una fattura", has<&Commands::deleteInvoice>},
          separator,
          {"Imposta password...", "", "Imposta la password del file", has<&Commands::password>},
          separator,
          customersItem,
          separator,
          {"Parametri...", "", "Imposta i parametri di fatturazione",
           has<&Commands::fileParameters>},
          einvoiceParametersItem}},
        {"Visualizza",
         {{"Ricerca fatture", "ALT-R", "Ricerca una o più fatture", has<&Commands::search>},
          separator,
          {"Mostra totali", "ALT-T", "Mostra i totali della fattura", has<&Commands::totals>},
          {"Stampa fattura", "ALT-S", "Stampa la fattura", has<&Commands::print>},
          {"Stampa tutte le fatture", "", "Stampa tutte le fatture", has<&Commands::printAll>},
          separator,
          {"Esporta fattura elettronica XML", "", "Esporta la fattura elettronica in formato XML",
           has<&Commands::exportXml>},
          {"Invia fattura elettronica XML", "",
           "Invia all'SDI la fattura elettronica in formato XML", has<&Commands::sendXml>}}},
        {"Finestra",
         {{"Sovrapponi", "", "Dispone le finestre sovrapponendole"},
          {"Affianca verticale", "", "Affianca le finestre verticalmente"},
          {"Affianca orizzontale", "", "Affianca le finestre orizzontalmente"},
          separator,
          {"Iconizza tutto", "", "Riduce tutte le finestre ad icona"},
          {"Disponi icone", "", "Allinea le icone"},
          separator,
          {"Chiudi tutto", "", "Chiude tutte le finestre"}}},
        helpMenu,
    };
}

const std::vector<Button> frameButtons = {
    {"NUOVO", "Nuovo", "Nuovo file", has<&Commands::newFile>},
    {"APRI", "Apri", "Apri file", has<&Commands::openFile>},
    {"CLIENTI", "Clienti", "Gestione clienti", has<&Commands::customers>, true},
};

const std::vector<Button> windowButtons = {
    {"AGGIUNGI", "Nuova", "Nuova fattura (ALT-N)", has<&Commands::newInvoice>},
    {"DUPLICA", "Duplica", "Duplica fattura (ALT-D)", has<&Commands::duplicateInvoice>},
    {"ELIMINA", "Elimina", "Elimina fattura (ALT-E)", has<&Commands::deleteInvoice>},
    {"RICERCA", "Ricerca", "Ricerca fatture (ALT-R)", has<&Commands::search>, true},
    {"TOTALI", "Totali", "Mostra totali (ALT-T)", has<&Commands::totals>, true},
    {"STAMPA", "Stampa", "Stampa fattura (ALT-S)", has<&Commands::print>},
    {"FATTXML", "Esporta", "Esporta fattura elettronica XML", has<&Commands::exportXml>, true},
    {"FATTXML", "Invia", "Invia fattura elettronica XML", has<&Commands::sendXml>},
    {"PASSWORD", "Passwd", "Imposta password", has<&Commands::password>, true},
};

QString qt(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void expectMenus(FrameWindow& frame, const std::vector<MenuTable>& expected) {
    const Commands commands = programCommands();
    QStringList titles;
    for (const auto& menu : expected) titles << qt(menu.title);
    ASSERT_EQ(test::menuTitles(frame), titles);
    for (const auto& table : expected) {
        QMenu* menu = test::menuNamed(frame, qt(table.title));
        const auto actions = menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(table.items.size())) << table.title;
        for (size_t i = 0; i < table.items.size(); ++i) {
            const Item& item = table.items[i];
            QAction* action = actions[qsizetype(i)];
            SCOPED_TRACE(table.title + " / " + (item.text.empty() ? "separator" : item.text));
            ASSERT_EQ(action->isSeparator(), item.text.empty());
            if (item.text.empty()) continue;
            EXPECT_EQ(action->text(), qt(item.text + (item.hint.empty() ? "" : "\t" + item.hint)));
            EXPECT_EQ(action->isEnabled(), item.needs(commands));
            // The ALT hints are real accelerators; "Invio" is the grid's Enter.
            const bool accelerator = item.hint.starts_with("ALT-");
            EXPECT_EQ(action->shortcut(),
                      accelerator ? QKeySequence(Qt::ALT | Qt::Key(item.hint[4])) : QKeySequence());
            action->hover();
            EXPECT_EQ(frame.statusBar()->currentMessage(), qt(item.prompt));
        }
    }
}

QImage drawn(const QIcon& icon) {
    return icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
}

void expectToolBar(QToolBar* bar, const std::vector<Button>& expected) {
    ASSERT_NE(bar, nullptr);
    const Commands commands = programCommands();
    QStringList wanted, shown;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].newGroup && i > 0) wanted << "|";
        wanted << expected[i].label;
    }
    std::vector<QToolButton*> buttons;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator()) {
            shown << "|";
        } else if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            shown << button->text();
            buttons.push_back(button);
        }
    }
    ASSERT_EQ(shown, wanted);
    for (size_t i = 0; i < expected.size(); ++i) {
        const Button& want = expected[i];
        QToolButton* button = buttons[i];
        SCOPED_TRACE(want.label);
        EXPECT_EQ(button->toolTip(), want.tooltip);
        EXPECT_EQ(button->size(), QSize(60, 60));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_EQ(drawn(button->icon()), drawn(iconOf(want.bitmap)));
        EXPECT_EQ(button->isEnabled(), want.needs(commands));
    }
}

TEST(FrameOnScreen, ShowsTheMenusAndToolbarOfTheProgram) {
    test::WorkFolder folder;
    bool ran = false;
    test::runProgram({}, [&](FrameWindow& frame) {
        ran = true;
        EXPECT_EQ(frame.windowTitle(), "VARDO! - Fatturazione");
        EXPECT_TRUE(frame.isMaximized());
        expectMenus(frame, frameMenus());
        expectToolBar(test::frameToolBar(frame), frameButtons);
    });
    EXPECT_TRUE(ran);
}

TEST(InvoiceWindowOnScreen, ShowsTheMenusAndToolbarOfAnInvoiceFile) {
    test::WorkFolder folder;
    const std::string file = folder / "fatture";
    test::writeInvoiceFile(file, test::sampleInvoices());
    bool ran = false;
    test::runProgram(file, [&](FrameWindow& frame) {
        ran = true;
        ChildWindow* child = test::onlyChild(frame);
        EXPECT_EQ(child->windowTitle(), qt(file));
        EXPECT_EQ(child->size(), QSize(1011, 800));
        EXPECT_FALSE(child->windowIcon().isNull());
        // Its menus take the frame's menu bar; the file just opened is the
        // first of the recent files.
        expectMenus(frame, windowMenus(file));
        expectToolBar(test::childToolBar(*child), windowButtons);
        // The frame keeps its own toolbar above the window.
        expectToolBar(test::frameToolBar(frame), frameButtons);
    });
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace vardo
