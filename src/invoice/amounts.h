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

// The customer VAT rule: VAT is charged to a customer with an Italian VAT
// number outside the other EU countries.
bool chargesVat(const InvoiceFigures& invoice);
InvoiceAmounts computeAmounts(const InvoiceFigures& invoice);

} // namespace vardo
