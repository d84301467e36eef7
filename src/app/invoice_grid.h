#pragma once
// The invoice list as the invoice-file window shows it: thirteen columns whose
// cells are formatted from the current record of the current table. The
// command-line tool prints the same cells.

#include <array>
#include <string>

#include "common/window.h"

namespace vardo {

inline constexpr int kInvoiceColumns = 13;
inline constexpr int kPaidColumn = 9;      // "S"
inline constexpr int kExportedColumn = 11; // "XML"

// The cells of the current record; bitmap columns hold "SELECT" or "NOSELECT".
using InvoiceRow = std::array<std::string, kInvoiceColumns>;
InvoiceRow invoiceRow();

struct InvoiceColumnSpec {
    const char* title;
    int width;
    Align align;
    bool bitmap;
};
extern const std::array<InvoiceColumnSpec, kInvoiceColumns> kInvoiceColumnSpecs;

} // namespace vardo
