#include "cli/list_command.h"

#include "app/invoice_grid.h"
#include "archive/files.h"
#include "platform/cp1252.h"
#include "common/error.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/ui.h"
#include "store/engine.h"
#include "store/filenames.h"
#include "store/password.h"
#include "store/schemas.h"
#include "store/upgrade.h"
#include "store/utilities.h"

namespace vardo {

namespace {

int refuse(const std::string& message) {
    POPMSG(message, MSG_INFO);
    return 1;
}

void printRows(std::FILE* out) {
    WorkArea& t = db().current();
    for (t.goTop(); !t.eof(); t.skip()) {
        InvoiceRow row = invoiceRow();
        std::string line;
        for (int c = 0; c < kInvoiceColumns - 1; ++c) {
            const std::string& cell = row[static_cast<size_t>(c)];
            if (c > 0) line += '\t';
            line += kInvoiceColumnSpecs[static_cast<size_t>(c)].bitmap ? (cell == "SELECT" ? "x" : " ") : cell;
        }
        std::fprintf(out, "%s\n", cp1252ToUtf8(line).c_str());
    }
}

} // namespace

int listInvoices(const std::string& argument, const std::string& password, std::FILE* out) {
    auto path = tablePathOf(FULLNAME(argument));
    if (!path) return refuse(kOnlyDbf);
    const std::string file = withoutExtension(*path);
    if (!invoiceFileComplete(file)) return refuse("Il file specificato non esiste o è incompleto."_cp);
    if (HASPASSWD(file) && !ISPASSWD(file, password)) return refuse("Password non corretta.");
    SettingsScope scope;
    if (!guarded([&] { scope.load(file + ".CFG"); })) return 1;
    if (!hasProgramMarker()) return refuse("Il file specificato non è di Vardo!."_cp);
    int result = 1;
    bool done = guarded([&] {
        // Read-only and shared, without waiting: another instance that holds
        // the file is reported at once.
        setNetErr(false);
        db().open(true, file, GETNEWALIAS(), true, true);
        if (NETERR() || !db().current().used()) {
            result = refuse("Il file specificato è;attualmente utilizzato;da un altro utente."_cp);
            return;
        }
        if (NEEDUPD(file, invoiceSchema())) {
            result = refuse("Il file specificato va prima aggiornato: aprirlo con VARDO!."_cp);
            return;
        }
        // The index lives in the temporary folder and goes with the table.
        db().current().setOrderCondition({.text = "!DELETED()", .temporary = true});
        ORDBUILD(file, "", "STR( YEAR( FIELD -> data ) ) + STR( FIELD -> numero )");
        printRows(out);
        result = 0;
    });
    CLOSEALL();
    return done ? result : 1;
}

} // namespace vardo
