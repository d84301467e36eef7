#include "archive/files.h"

#include "app/frame.h"
#include "app/invoice_window.h"
#include "platform/cp1252.h"
#include "common/dialog.h"
#include "common/error.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/ui.h"
#include "common/validate.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/filenames.h"
#include "store/password.h"
#include "store/schemas.h"
#include "store/upgrade.h"
#include "store/utilities.h"

namespace vardo {

namespace {

constexpr size_t kPathField = 80;

const std::vector<FileFilter>& dbaseFilters() {
    static const std::vector<FileFilter> filters = {{"File dBase (*.dbf)", "*.dbf"},
                                                    {"Tutti i file (*.*)", "*"}};
    return filters;
}

std::string lastComponent(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

bool existsCaseless(const std::string& path) { return os::exists(os::findCaseless(path)); }

void info(const std::string& text) { POPMSG(text, MSG_INFO); }
bool ask(const std::string& text) { return POPMSG(text, MSG_OKCANCEL) != 0; }

const std::string kInUseHere = "Il file specificato è attualmente in uso.;Indicare un nuovo nome."_cp;
const std::string kInUseElsewhere =
    "Il file specificato è;attualmente utilizzato;da un altro utente.;Indicare un nuovo nome."_cp;
const std::string kMissing = "Il file specificato non esiste o è incompleto."_cp;

// The folder a chosen file lies in, proposed by the next file dialog.
void rememberFolder(const std::string& path) { run().PATH = FULLPATH(path); }

// An entry field for a path, kept in the case it was typed: on this system
// "/home/anna/fatture" and "/HOME/ANNA/FATTURE" name different files.
Control pathField(int id, const char* label, const std::string& text) {
    return {.id = id,
            .kind = ControlKind::Edit,
            .label = label,
            .value = padRight(text, kPathField),
            .length = static_cast<int>(kPathField),
            .valid = [](const Value& v) { return !trim(asText(v)).empty(); }};
}

void addBrowseButton(Dialog& d, int id, int fieldId) {
    d.add({.id = id, .kind = ControlKind::Button, .label = "Sfoglia", .action = [&d, fieldId] {
               SFOGLIA(d, d.indexOf(fieldId));
           }});
}

// The drive test of the copy and delete dialogs: the folder of the typed path
// must be there.
bool driveReady(const std::string& typed) { return ISREADY(driveOf(trim(typed))); }

// The table and settings files of an invoice file as they are on disk.
std::string dbfFile(const std::string& file) { return tableFile(file + ".DBF"); }
std::string cfgFile(const std::string& file) { return os::findCaseless(file + ".CFG"); }

void eraseInvoiceFiles(const std::string& file, bool withIndex) {
    os::removeFile(dbfFile(file));
    if (withIndex) os::removeFile(tableFile(file + ".NTX"));
    os::removeFile(cfgFile(file));
}

} // namespace

std::optional<std::string> tablePathOf(std::string_view path) {
    std::string out(path);
    if (!hasExtension(out)) out += ".DBF";
    if (!out.ends_with("DBF")) return std::nullopt;
    return out;
}

bool invoiceFileComplete(const std::string& file) {
    return existsCaseless(file + ".DBF") && existsCaseless(file + ".CFG");
}

bool hasProgramMarker() {
    return settingExists("CFG_0001") && asText(setting("CFG_0001")) == run().PRG_ID;
}

void buildInvoiceIndex(const std::string& file) {
    db().current().setOrderCondition({.text = "!DELETED()"});
    ORDBUILD(file, "", "STR( YEAR( FIELD -> data ) ) + STR( FIELD -> numero )", {}, false);
}

void NUOVO(MainFrame& frame) {
    for (;;) {
        auto chosen = ui().saveFileDialog({"Nuovo", dbaseFilters(), run().PATH, false});
        if (!chosen) return;
        rememberFolder(*chosen);
        auto path = tablePathOf(*chosen);
        if (!path) {
            info(kOnlyDbf);
            continue;
        }
        // The customer archive of the working folder is no invoice file.
        if (upper(FULLNAME(*path)) == upper(FULLNAME("CLIENTI.DBF"))) {
            info("Impossibile sovrascrivere il file CLIENTI.DBF.;Indicare un nuovo nome.");
            continue;
        }
        const std::string file = withoutExtension(*path);
        if (APERTO(frame, file)) {
            info(kInUseHere);
            continue;
        }
        if ((existsCaseless(file + ".DBF") || existsCaseless(file + ".CFG")) &&
            !ask("Sostituire il file esistente?"))
            continue;
        if (NETUSED(file)) {
            info(kInUseElsewhere);
            continue;
        }
        std::string alias;
        bool created = guarded([&] {
            DBGEN(file, invoiceSchema());
            alias = GETNEWALIAS();
            DBOPEN(true, file, alias, false, false);
            buildInvoiceIndex(file);
            SettingsScope scope;
            scope.set("CFG_0001", run().PRG_ID);
            scope.set("CFG_9999", std::string());
            SAVEINI("CFG_*", file + ".CFG");
        });
        if (!created) {
            if (!alias.empty()) DBCLOSE(alias);
            eraseInvoiceFiles(file, true);
            continue;
        }
        APRIFOGLIO(frame, file);
        AGGIORNAMRU(frame.mru(), frame.windowLists(), file);
        return;
    }
}

void APRI(MainFrame& frame, std::optional<std::string> pathArgument, std::string password) {
    for (;;) {
        std::string chosen;
        if (pathArgument) {
            chosen = FULLNAME(*pathArgument);
            pathArgument.reset();
        } else {
            auto picked = ui().openFileDialog({"Apri", dbaseFilters(), run().PATH, true});
            if (!picked) return;
            chosen = *picked;
        }
        rememberFolder(chosen);
        auto path = tablePathOf(chosen);
        if (!path) {
            info(kOnlyDbf);
            continue;
        }
        const std::string file = withoutExtension(*path);
        if (!invoiceFileComplete(file)) {
            info(kMissing);
            continue;
        }
        if (APERTO(frame, file)) {
            info(kInUseHere);
            continue;
        }
        // A password given beforehand spares the question only when it is the right one.
        bool mayOpen = password.empty() ? PASSWD(file)
                                        : !HASPASSWD(file) || ISPASSWD(file, password) || PASSWD(file);
        if (!mayOpen) continue;
        if (!invoiceFileComplete(file)) {
            info(kMissing);
            continue;
        }
        SettingsScope scope;
        if (!guarded([&] { scope.load(file + ".CFG"); })) continue;
        if (!hasProgramMarker()) {
            info("Il file specificato non è di Vardo!."_cp);
            continue;
        }
        AGGIORNADATABASE(file);
        if (NETUSED(file)) {
            info(kInUseElsewhere);
            continue;
        }
        std::string alias;
        bool opened = guarded([&] {
            alias = GETNEWALIAS();
            DBOPEN(true, file, alias, false, false);
            db().current().pack();
            buildInvoiceIndex(file);
            db().current().goBottom();
        });
        if (!opened) {
            if (!alias.empty()) DBCLOSE(alias);
            continue;
        }
        APRIFOGLIO(frame, file);
        AGGIORNAMRU(frame.mru(), frame.windowLists(), file);
        return;
    }
}

void COPIA(MainFrame& frame) {
    std::string sourceText, targetText;
    for (;;) {
        Dialog d("COPIAFILE", "Copia file");
        d.add(pathField(101, "File da copiare:", sourceText));
        addBrowseButton(d, 102, 101);
        d.add(pathField(103, "Nuovo file:", targetText));
        addBrowseButton(d, 104, 103);
        addConfirmCancel(d);
        d.ITEM(201)->defaultButton = false;
        if (ui().runDialog(d) != 1) return;
        sourceText = asText(d.ITEM(101)->value);
        targetText = asText(d.ITEM(103)->value);

        if (!driveReady(sourceText) || !driveReady(targetText)) continue;
        if (trim(sourceText).empty() || trim(targetText).empty()) {
            info("Percorso non trovato.");
            continue;
        }
        sourceText = FULLNAME(trim(sourceText));
        targetText = FULLNAME(trim(targetText));
        auto sourcePath = tablePathOf(sourceText);
        auto targetPath = tablePathOf(targetText);
        if (!sourcePath || !targetPath) {
            info(kOnlyDbf);
            continue;
        }
        const std::string source = withoutExtension(*sourcePath);
        const std::string target = withoutExtension(*targetPath);
        sourceText = source;
        targetText = target;
        if (!LFNFNAME(lastComponent(source))) {
            info("Nome file non valido.");
            continue;
        }
        if (!LFNFNAME(lastComponent(target))) {
            info("Nome nuovo file non valido.");
            continue;
        }
        const std::string missingSource = "Il file da copiare non esiste o è incompleto."_cp;
        if (!invoiceFileComplete(source)) {
            info(missingSource);
            continue;
        }
        if (APERTO(frame, target)) {
            info("Il nuovo file specificato è attualmente in uso.;Indicare un nuovo nome."_cp);
            continue;
        }
        if (!invoiceFileComplete(source)) {
            info(missingSource);
            continue;
        }
        if ((existsCaseless(target + ".DBF") || existsCaseless(target + ".CFG")) &&
            !ask("Sostituire il file esistente?"))
            continue;
        if (NETUSED(target)) {
            info("Il nuovo file specificato;è attualmente utilizzato;da un altro utente.;Indicare un "
                 "nuovo nome."_cp);
            continue;
        }
        POPMSG("Copia in corso.");
        const std::string sourceDbf = dbfFile(source), sourceCfg = cfgFile(source);
        const std::string targetDbf = dbfFile(target), targetCfg = cfgFile(target);
        // A file copied onto itself is already its own copy; copying would empty it.
        bool itself = os::sameFile(sourceDbf, targetDbf) && os::sameFile(sourceCfg, targetCfg);
        bool copied = itself || guarded([&] {
            // A table held open by an invoice-file window, here or in another
            // instance, is being written: its bytes are not a copy to rely on.
            if (os::sharingConflict(sourceDbf, os::File::Share::Shared))
                throw fileError(EG_OPEN, os::AccessDenied, sourceDbf, "COPIA");
            for (const auto& [from, to] : {std::pair{sourceDbf, targetDbf}, std::pair{sourceCfg, targetCfg}})
                if (int err = os::copyFile(from, to))
                    throw fileError(err == os::DiskFull ? EG_WRITE : EG_OPEN, err,
                                    err == os::DiskFull ? to : from, "COPIA");
        });
        if (!copied) {
            eraseInvoiceFiles(target, false);
            POPMSG();
            continue;
        }
        POPMSG();
        return;
    }
}

void ELIMINA(MainFrame& frame) {
    std::string text;
    for (;;) {
        Dialog d("ELIMINA", "Elimina");
        d.add(pathField(101, "Nome file:", text));
        addBrowseButton(d, 102, 101);
        addConfirmCancel(d);
        if (ui().runDialog(d) != 1) return;
        text = asText(d.ITEM(101)->value);

        if (!driveReady(text)) continue;
        if (trim(text).empty()) {
            info("Percorso non trovato.");
            continue;
        }
        text = FULLNAME(trim(text));
        auto path = tablePathOf(text);
        if (!path) {
            info(kOnlyDbf);
            continue;
        }
        const std::string file = withoutExtension(*path);
        text = file;
        if (!LFNFNAME(lastComponent(file))) {
            info("Nome file non valido.");
            continue;
        }
        if (!invoiceFileComplete(file)) {
            info(kMissing);
            continue;
        }
        if (APERTO(frame, file)) {
            info("Impossibile cancellare il file;in quanto attualmente in uso.");
            continue;
        }
        if (!ask("Confermi la cancellazione?")) continue;
        if (!invoiceFileComplete(file)) {
            info(kMissing);
            continue;
        }
        if (NETUSED(file)) {
            info("Impossibile cancellare il file;in quanto attualmente utilizzato;da un altro utente.");
            continue;
        }
        const std::string dbf = dbfFile(file), cfg = cfgFile(file);
        guarded([&] {
            for (const std::string& f : {dbf, cfg})
                if (int err = os::removeFile(f)) throw fileError(EG_WRITE, err, f, "ELIMINA");
        });
        return;
    }
}

} // namespace vardo
