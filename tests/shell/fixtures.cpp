#include "shell/fixtures.h"

#include "common/settings.h"
#include "invoice/amounts.h"
#include "platform/cp1252.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace vardo::test {

namespace {

const std::string kMarker(1, kPaidMarker);

void putInvoice(WorkArea& t, const FixtureInvoice& invoice) {
    t.append();
    t.put("NUMERO", invoice.number);
    t.put("CLIENTE", invoice.customer);
    t.put("DATA", invoice.date);
    t.put("IMPOR01", invoice.amount);
    t.put("DESCR01", std::string("Consulenza professionale"));
    t.put("ALIQINPS", 4.0);
    t.put("ALIQIVA", 22.0);
    t.put("ALIQRA", 20.0);
    t.put("RITACC", kMarker);
    t.put("PIVA", std::string("01234567897"));
    if (invoice.paid) t.put("SALDATO", kMarker);
    if (!invoice.paidOn.empty()) t.put("DATAPAG", invoice.paidOn);
    if (!invoice.paidOn2.empty()) t.put("DATAPAG2", invoice.paidOn2);
    t.put("XML", invoice.exported);
    if (invoice.deleted) t.markDeleted();
}

} // namespace

void writeInvoiceFile(const std::string& file, const std::vector<FixtureInvoice>& invoices) {
    DBGEN(file, invoiceSchema());
    DBOPEN(true, file, "FIXTURE", false, false);
    WorkArea& t = db().current();
    for (const auto& invoice : invoices) putInvoice(t, invoice);
    DBCLOSE("FIXTURE");
    SettingsScope settings;
    settings.set("CFG_0001", std::string("KOBA_Software_VARDO!"));
    settings.set("CFG_9999", std::string());
    SAVEINI("CFG_*", file + ".CFG");
}

std::vector<FixtureInvoice> sampleInvoices() {
    return {
        {.number = 1,
         .customer = "Verdi & C.",
         .date = Date::ymd(2023, 12, 30),
         .amount = 1000,
         .paid = true,
         .paidOn2 = Date::ymd(2024, 1, 31),
         .exported = true},
        {.number = 0, .customer = "Rossi", .date = Date::ymd(2024, 2, 1), .amount = 123.45},
        {.number = 7,
         .customer = "Città Nuova"_cp,
         .date = Date::ymd(2024, 1, 5),
         .amount = 0,
         .paidOn = Date::ymd(2024, 1, 10),
         .paidOn2 = Date::ymd(2024, 1, 20),
         .exported = true},
        {.number = 2,
         .customer = "Cancellata",
         .date = Date::ymd(2024, 1, 6),
         .amount = 10,
         .deleted = true},
    };
}

std::vector<FixtureInvoice> manyInvoices(int n) {
    std::vector<FixtureInvoice> invoices;
    invoices.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        FixtureInvoice invoice{.number = static_cast<double>(i % 999 + 1),
                               .customer = "CLIENTE " + std::to_string(i % 500),
                               .date = Date::ymd(2015 + i % 10, 1 + i % 12, 1 + i % 28),
                               .amount = 100.0 + i % 1000,
                               .paid = i % 3 != 0,
                               .exported = i % 2 == 0};
        if (invoice.paid) invoice.paidOn = invoice.date;
        invoices.push_back(invoice);
    }
    return invoices;
}

void writeCustomerArchive(const std::string& path, int n) {
    DBGEN(path, customerSchema());
    DBOPEN(true, path, "FIXTURE", false, false);
    WorkArea& t = db().current();
    for (int i = 0; i < n; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "CLIENTE %04d S.R.L.", i);
        t.append();
        t.put("RAGSOC", std::string(name));
        t.put("INDIRIZZO", "Via Roma " + std::to_string(i % 200 + 1));
        t.put("LOCALITA", std::string("Bologna"));
        t.put("PROVINCIA", std::string("BO"));
        t.put("CAP", std::string("40100"));
        t.put("PIVA", std::string("01234567897"));
        t.put("PAGAMENTO", std::string("Bonifico bancario"));
        t.put("CODICESDI", std::string("0000000"));
    }
    DBCLOSE("FIXTURE");
}

std::vector<DiskRecord> readTableOnDisk(const std::string& dbfPath) {
    // One record a line, fields separated by tabs, each NAME=value.
    static const char* const script =
        "import sys, dbfread\n"
        "for r in dbfread.DBF(sys.argv[1], encoding=\"cp1252\"):\n"
        "    cells = []\n"
        "    for k, v in r.items():\n"
        "        if v is None: v = \"\"\n"
        "        elif isinstance(v, bool): v = \"T\" if v else \"F\"\n"
        "        elif hasattr(v, \"strftime\"): v = v.strftime(\"%d/%m/%Y\")\n"
        "        cells.append(k + \"=\" + str(v))\n"
        "    print(\"\\t\".join(cells))\n";
    const std::string command =
        std::string("/usr/bin/python3 -c '") + script + "' '" + dbfPath + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot start python3");
    std::string out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    if (pclose(pipe) != 0) throw std::runtime_error("dbfread could not read " + dbfPath);
    std::vector<DiskRecord> records;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        DiskRecord record;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            size_t eq = cell.find('=');
            record[cell.substr(0, eq)] = cell.substr(eq + 1);
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace vardo::test
