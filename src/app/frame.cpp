#include "app/frame.h"

#include "app/invoice_window.h"
#include "common/dialog.h"
#include "common/ui.h"

namespace vardo {

namespace {

std::function<void()> plain(const std::function<void()>& command) { return command; }

} // namespace

Menu filePopup(MainFrame& frame, std::function<void()> closeFile) {
    const Commands& c = frame.commands;
    Menu file{"File"};
    file.items = {
        {"Nuovo file...", "", "Crea un nuovo file di fatture", commandAction(c.newFile, frame)},
        {"Apri file...", "", "Apre un file di fatture esistente", commandAction(c.openFile, frame)},
    };
    if (closeFile)
        file.items.push_back({"Chiudi file", "", "Conclude la sessione di lavoro su un file di fatture", closeFile});
    file.items.insert(file.items.end(), {
        {},
        {"Copia file...", "", "Copia un file di fatture", commandAction(c.copyFile, frame)},
        {"Elimina file...", "", "Elimina un file di fatture", commandAction(c.deleteFile, frame)},
        {},
        {"Imposta stampante...", "", "Seleziona la stampante", plain(c.printerSetup)},
    });
    return file;
}

void aboutBox() { INFOS(kProgramTitle, kProgramVersion, kProgramYear); }

MainFrame::MainFrame(Commands commandSet) : commands(std::move(commandSet)) {
    window.caption = kProgramTitle;
    window.icon = "ICONA";
    Menu edit{"Modifica"};
    edit.items = {
        {"Gestione clienti...", "", "Gestisce l'archivio anagrafico dei clienti", plain(commands.customers)},
        {},
        {"Parametri...", "", "Imposta i parametri di fatturazione", plain(commands.parameters)},
        {"Parametri fattura elettronica...", "", "Imposta i parametri per la fattura elettronica",
         plain(commands.einvoiceParameters)},
    };
    Menu help{"?"};
    help.items = {{"Informazioni", "", "Visualizza informazioni sul programma", aboutBox}};
    window.menus = {filePopup(*this), edit, help};
    mru_ = std::make_unique<TMru>(window.menus[0], 10, "Apre questo file", [this](const std::string& path) {
        if (commands.openPath) commands.openPath(*this, path, {});
    });
    window.toolbar = {
        {"NUOVO", "Nuovo", "Nuovo file", commandAction(commands.newFile, *this)},
        {"APRI", "Apri", "Apri file", commandAction(commands.openFile, *this)},
        {"CLIENTI", "Clienti", "Gestione clienti", plain(commands.customers), true},
    };
    window.canClose = [this] {
        closeAll();
        return windows_.empty();
    };
}

MainFrame::~MainFrame() = default;

InvoiceWindow& MainFrame::adopt(std::unique_ptr<InvoiceWindow> w) {
    closed_.clear();
    windows_.push_back(std::move(w));
    return *windows_.back();
}

void MainFrame::release(InvoiceWindow& w) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        if (it->get() == &w) {
            closed_.push_back(std::move(*it));
            windows_.erase(it);
            return;
        }
    }
}

std::vector<TMru*> MainFrame::windowLists() const {
    std::vector<TMru*> lists;
    for (const auto& w : windows_) lists.push_back(&w->mru());
    return lists;
}

void MainFrame::closeAll() {
    while (!windows_.empty()) {
        InvoiceWindow& last = *windows_.back();
        if (!CHIUDI(last)) return;
        if (last.window.view) last.window.view->close();
    }
}

} // namespace vardo
