#include "app/invoice_window.h"

#include "app/frame.h"
#include "app/invoice_grid.h"
#include "platform/cp1252.h"
#include "common/format.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/ui.h"
#include "einvoice/exported_mark.h"
#include "invoice/paid.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/filenames.h"
#include "store/utilities.h"

namespace vardo {

namespace {

// The invoices of the window's table in index order. Only the rows the grid
// paints are read, and each row's cells are computed once per visit.
class InvoiceRows : public GridSource {
public:
    explicit InvoiceRows(const InvoiceWindow& window) : window_(window) {}

    int rowCount() override {
        if (!window_.isOpen()) return 0;
        window_.select();
        return static_cast<int>(db().current().keyCount());
    }
    void goRow(int row) override {
        window_.select();
        WorkArea& t = db().current();
        if (row != row_ || t.keyPosition() != static_cast<uint32_t>(row + 1)) {
            t.goKeyPosition(static_cast<uint32_t>(row + 1));
            cells_ = invoiceRow();
            row_ = row;
        }
    }
    int currentRow() override {
        window_.select();
        WorkArea& t = db().current();
        return t.eof() ? -1 : static_cast<int>(t.keyPosition()) - 1;
    }
    const std::string& cell(int column) const { return cells_[static_cast<size_t>(column)]; }
    // A command changed the table: cells must be read again.
    void forget() { row_ = -1; }

private:
    const InvoiceWindow& window_;
    InvoiceRow cells_;
    int row_ = -1;
};

} // namespace

InvoiceWindow::InvoiceWindow(MainFrame& frame, std::string file)
    : frame_(frame), file_(std::move(file)), table_(db().current().alias()) {
    window.caption = file_;
    window.icon = "ICONA";
    window.width = 1011;
    window.height = 800;
    Menu help{"?"};
    help.items = {{"Informazioni", "", "Visualizza informazioni sul programma", aboutBox}};
    window.menus = {filePopup(frame_, [this] {
                        if (CHIUDI(*this) && window.view) window.view->close();
                    }),
                    editMenu(), viewMenu(), windowMenu(), help};
    mru_ = std::make_unique<TMru>(window.menus[0], 10, "Apre questo file", [this](const std::string& path) {
        if (frame_.commands.openPath) frame_.commands.openPath(frame_, path, {});
    });

    const Commands& c = frame_.commands;
    window.toolbar = {
        {"AGGIUNGI", "Nuova", "Nuova fattura (ALT-N)", commandAction(c.newInvoice, *this)},
        {"DUPLICA", "Duplica", "Duplica fattura (ALT-D)", commandAction(c.duplicateInvoice, *this)},
        {"ELIMINA", "Elimina", "Elimina fattura (ALT-E)", commandAction(c.deleteInvoice, *this)},
        {"RICERCA", "Ricerca", "Ricerca fatture (ALT-R)", commandAction(c.search, *this), true},
        {"TOTALI", "Totali", "Mostra totali (ALT-T)", commandAction(c.totals, *this), true},
        {"STAMPA", "Stampa", "Stampa fattura (ALT-S)", commandAction(c.print, *this)},
        {"FATTXML", "Esporta", "Esporta fattura elettronica XML", commandAction(c.exportXml, *this), true},
        {"FATTXML", "Invia", "Invia fattura elettronica XML", commandAction(c.sendXml, *this)},
        {"PASSWORD", "Passwd", "Imposta password", commandAction(c.password, *this), true},
    };

    auto rows = std::make_shared<InvoiceRows>(*this);
    Grid grid;
    grid.source = rows;
    for (int i = 0; i < kInvoiceColumns; ++i) {
        const InvoiceColumnSpec& column = kInvoiceColumnSpecs[static_cast<size_t>(i)];
        InvoiceRows* source = rows.get();
        grid.columns.push_back(
            {column.title, column.width, column.align, [source, i] { return source->cell(i); }, column.bitmap});
    }
    grid.onClick = [this](int, int column) { click(column); };
    grid.onDoubleClick = [this](int, int column) {
        // The first click of a double click in a flag column already toggled it.
        if (column != kPaidColumn && column != kExportedColumn) edit();
    };
    grid.onEnter = [this](int) { edit(); };
    window.grid = std::move(grid);
    window.onFocus = [this] { select(); };
    window.canClose = [this] { return CHIUDI(*this); };
    window.onFirstShow = [this] { mru_->load(); };
}

Menu InvoiceWindow::editMenu() {
    const Commands& c = frame_.commands;
    Menu m{"Modifica"};
    m.items = {
        {"Nuova fattura...", "ALT-N", "Aggiunge una nuova fattura", commandAction(c.newInvoice, *this), 'N'},
        {"Modifica fattura...", "Invio", "Modifica una fattura", commandAction(c.editInvoice, *this)},
        {"Duplica fattura...", "ALT-D", "Aggiunge una nuova fattura prendendo i dati da quella selezionata",
         commandAction(c.duplicateInvoice, *this), 'D'},
        {"Elimina fattura...", "ALT-E", "Elimina una fattura", commandAction(c.deleteInvoice, *this), 'E'},
        {},
        {"Imposta password...", "", "Imposta la password del file", commandAction(c.password, *this)},
        {},
        {"Gestione clienti...", "", "Gestisce l'archivio anagrafico dei clienti", c.customers},
        {},
        {"Parametri...", "", "Imposta i parametri di fatturazione", commandAction(c.fileParameters, *this)},
        {"Parametri fattura elettronica...", "", "Imposta i parametri per la fattura elettronica",
         c.einvoiceParameters},
    };
    return m;
}

Menu InvoiceWindow::viewMenu() {
    const Commands& c = frame_.commands;
    Menu m{"Visualizza"};
    m.items = {
        {"Ricerca fatture", "ALT-R", "Ricerca una o più fatture"_cp, commandAction(c.search, *this), 'R'},
        {},
        {"Mostra totali", "ALT-T", "Mostra i totali della fattura", commandAction(c.totals, *this), 'T'},
        {"Stampa fattura", "ALT-S", "Stampa la fattura", commandAction(c.print, *this), 'S'},
        {"Stampa tutte le fatture", "", "Stampa tutte le fatture", commandAction(c.printAll, *this)},
        {},
        {"Esporta fattura elettronica XML", "", "Esporta la fattura elettronica in formato XML",
         commandAction(c.exportXml, *this)},
        {"Invia fattura elettronica XML", "", "Invia all'SDI la fattura elettronica in formato XML",
         commandAction(c.sendXml, *this)},
    };
    return m;
}

Menu InvoiceWindow::windowMenu() {
    auto arrange = [](Arrange how) { return [how] { ui().arrangeChildren(how); }; };
    Menu m{"Finestra"};
    m.items = {
        {"Sovrapponi", "", "Dispone le finestre sovrapponendole", arrange(Arrange::Cascade)},
        {"Affianca verticale", "", "Affianca le finestre verticalmente", arrange(Arrange::TileVertical)},
        {"Affianca orizzontale", "", "Affianca le finestre orizzontalmente", arrange(Arrange::TileHorizontal)},
        {},
        {"Iconizza tutto", "", "Riduce tutte le finestre ad icona", arrange(Arrange::MinimiseAll)},
        {"Disponi icone", "", "Allinea le icone", arrange(Arrange::ArrangeIcons)},
        {},
        {"Chiudi tutto", "", "Chiude tutte le finestre", [this] { frame_.closeAll(); }},
    };
    return m;
}

void InvoiceWindow::select() const { db().select(table_); }

void InvoiceWindow::redraw() {
    if (!window.grid) return;
    static_cast<InvoiceRows&>(*window.grid->source).forget();
    if (window.view) window.view->refresh();
}

void InvoiceWindow::click(int column) {
    select();
    if (column == kPaidColumn) {
        static_cast<InvoiceRows&>(*window.grid->source).forget();
        SALDATO(window);
    } else if (column == kExportedColumn) {
        static_cast<InvoiceRows&>(*window.grid->source).forget();
        XML(window);
    }
}

void InvoiceWindow::edit() {
    if (!frame_.commands.editInvoice) return;
    select();
    frame_.commands.editInvoice(*this);
    redraw();
}

void APRIFOGLIO(MainFrame& frame, const std::string& file) {
    InvoiceWindow& w = frame.adopt(std::make_unique<InvoiceWindow>(frame, file));
    ui().openChild(w.window);
}

bool CHIUDI(InvoiceWindow& w) {
    if (ui().escapeHeld()) return false;
    DBCLOSE(w.table());
    os::removeFile(tableFile(w.file(), "NTX"));
    w.markClosed();
    w.frame().release(w);
    return true;
}

bool APERTO(MainFrame& frame, const std::string& file) {
    for (const auto& w : frame.windows())
        if (w->file() == file) return true;
    return false;
}

void SFOGLIA(Dialog& dialog, int index) {
    Control& field = dialog.controls()[static_cast<size_t>(index)];
    FileDialogSpec request{"Sfoglia",
                        {{"File dBase (*.dbf)", "*.dbf"}, {"Tutti i file (*.*)", "*"}},
                        run().PATH,
                        true};
    if (auto chosen = ui().openFileDialog(request))
        dialog.setBoundValue(index, padRight(*chosen, static_cast<size_t>(field.length)));
    dialog.focusTo(index);
    dialog.setCursor(static_cast<int>(trimRight(asText(field.value)).size()));
}

} // namespace vardo
