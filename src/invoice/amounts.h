#pragma once
// The amounts of an invoice, computed from its lines and rates whenever they are
// needed; no money figure is ever stored.

#include <string>

namespace vardo {

// What the computation reads from an invoice record.
struct InvoiceFigures {
    double quantity[10] = {};   // QUANT01..QUANT10; 0 means no quantity given
    double amount[10] = {};     // IMPOR01..IMPOR10
    double inpsRate = 0;        // ALIQINPS
    double vatRate = 0;         // ALIQIVA
    double withholdingRate = 0; // ALIQRA
    bool withholding = false;   // RITACC not blank
    bool euCustomer = false;    // CEE
    std::string vatNumber;      // PIVA
};

struct InvoiceAmounts {
    double lines = 0;       // B: line total, exact to the cent
    double inps = 0;        // I: INPS surcharge
    double taxable = 0;     // B + I
    double vat = 0;         // V
    double withholding = 0; // R
    double net = 0;         // B + I + V - R
};

// The paid marker: the byte a one-character flag field (SALDATO, RITACC) holds when set.
inline constexpr char kPaidMarker = '\xFB';

// The customer VAT rule: VAT is charged to a customer with an Italian VAT
// number outside the other EU countries.
bool chargesVat(const InvoiceFigures& invoice);
InvoiceAmounts computeAmounts(const InvoiceFigures& invoice);

class WorkArea;
// The figures of the current record of an invoice table.
InvoiceFigures invoiceFigures(WorkArea& table);

// The amounts of the current record of the current table: the line total; with
// `withInps` the taxable amount; with `net` the net to pay. The slots, when
// given, receive the VAT and the withholding.
double TOTALE(bool withInps = false, bool net = false, double* vat = nullptr,
              double* withholding = nullptr);

} // namespace vardo
