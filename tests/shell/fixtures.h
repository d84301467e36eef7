#pragma once
// Files as the program writes them, made with its own table engine: invoice
// files (table and settings file), the customer archive, and a reader of our
// tables that we did not write.

#include "common/date.h"

#include <map>
#include <string>
#include <vector>

namespace vardo::test {

// One invoice of a fixture file, with the rates and customer of a professional
// who charges VAT, INPS and withholding (4 %, 22 %, 20 %).
struct FixtureInvoice {
    double number;
    std::string customer; // Windows-1252
    Date date;
    double amount; // one line, no quantity
    bool paid = false;
    Date paidOn, paidOn2; // DATAPAG, DATAPAG2
    bool exported = false;
    bool deleted = false;
};

// Writes the invoice file `file` (path without extension): its table with
// these invoices in this physical order, and its settings file with the
// program's marker and no password.
void writeInvoiceFile(const std::string& file, const std::vector<FixtureInvoice>& invoices);

// The few invoices the window tests and the smoke test show: a paid one whose
// only payment date is the second, a number 0, an empty one with a
// non-ASCII customer and both dates, and a deleted one.
std::vector<FixtureInvoice> sampleInvoices();

// n invoices over ten years and 500 customers, some paid and some exported.
std::vector<FixtureInvoice> manyInvoices(int n);

// Writes CLIENTI.DBF at `path` with n customers.
void writeCustomerArchive(const std::string& path, int n);

// The live records of a table as an independent reader (python3-dbfread) sees
// them on disk, in physical order: field name to text (dates dd/mm/yyyy or
// empty, logicals "T"/"F", characters as stored, converted to UTF-8).
using DiskRecord = std::map<std::string, std::string>;
std::vector<DiskRecord> readTableOnDisk(const std::string& dbfPath);

} // namespace vardo::test
