#pragma once
// "vardo-cli elenco": the invoices of an invoice file, one line each, as its
// window lists them.

#include <cstdio>
#include <string>

namespace vardo {

// Prints the list to `out`; returns the exit code (0, or 1 after the message).
int listInvoices(const std::string& path, const std::string& password, std::FILE* out);

} // namespace vardo
