// vardo-cli: commands for scripts and accountants over the program's own core,
// without any window.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/console.h"
#include "cli/list_command.h"
#include "platform/cp1252.h"
#include "common/error.h"
#include "common/settings.h"

namespace {

const char* const kHelp =
    "Uso: vardo-cli elenco FILE [PASSWORD]\n"
    "\n"
    "elenco   Elenca le fatture del file di fatture FILE (percorso con o senza\n"
    "         l'estensione .DBF), una per riga, nell'ordine della finestra del\n"
    "         file: numero, cliente, data, totale, INPS, imponibile, IVA, R.A.,\n"
    "         netto, saldata (x), date di pagamento, esportata in XML (x),\n"
    "         separati da tabulazioni. Il file è aperto in sola lettura e non\n"
    "         viene scritto nulla accanto ad esso. Se il file è protetto da\n"
    "         password va indicata, in lettere maiuscole.\n"
    "\n"
    "Esce con 0 se riesce; altrimenti scrive il motivo ed esce con 1.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace vardo;
    if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc < 3 || argc > 4 || std::strcmp(argv[1], "elenco") != 0) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    ConsoleUserInterface console;
    setUserInterface(&console);
    SettingsScope base;
    try {
        return listInvoices(utf8ToCp1252(argv[2]), argc == 4 ? utf8ToCp1252(argv[3]) : std::string(), stdout);
    } catch (const ProgramEnd& end) {
        return end.exitCode;
    }
}
