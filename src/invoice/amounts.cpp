#include "invoice/amounts.h"

#include <cmath>

#include "common/format.h"
#include "common/round.h"

namespace vardo {

bool chargesVat(const InvoiceFigures& invoice) {
    return !invoice.euCustomer && !trim(invoice.vatNumber).empty();
}

InvoiceAmounts computeAmounts(const InvoiceFigures& invoice) {
    InvoiceAmounts a;
    // Amounts have two decimals and quantities none, so the line total is a whole
    // number of cents; summing cents keeps it exact whatever binary values hold.
    long long cents = 0;
    for (int i = 0; i < 10; ++i) {
        long long lineCents = std::llround(invoice.amount[i] * 100);
        cents += invoice.quantity[i] == 0 ? lineCents : std::llround(invoice.quantity[i]) * lineCents;
    }
    a.lines = static_cast<double>(cents) / 100;
    a.inps = roundCents(a.lines * invoice.inpsRate / 100);
    a.taxable = a.lines + a.inps;
    a.vat = chargesVat(invoice) ? roundCents(a.taxable * invoice.vatRate / 100) : 0;
    a.withholding = invoice.withholding ? roundCents(a.taxable * invoice.withholdingRate / 100) : 0;
    a.net = a.taxable + a.vat - a.withholding;
    return a;
}

} // namespace vardo
