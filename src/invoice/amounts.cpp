#include "invoice/amounts.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "common/format.h"
#include "common/round.h"
#include "store/engine.h"

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

InvoiceFigures invoiceFigures(WorkArea& t) {
    static const auto lineFields = [] {
        std::array<std::pair<std::string, std::string>, 10> names;
        for (int i = 0; i < 10; ++i) {
            std::string n = (i < 9 ? "0" : "") + std::to_string(i + 1);
            names[i] = {"QUANT" + n, "IMPOR" + n};
        }
        return names;
    }();
    InvoiceFigures f;
    for (int i = 0; i < 10; ++i) {
        f.quantity[i] = t.number(lineFields[i].first);
        f.amount[i] = t.number(lineFields[i].second);
    }
    f.inpsRate = t.number("ALIQINPS");
    f.vatRate = t.number("ALIQIVA");
    f.withholdingRate = t.number("ALIQRA");
    f.withholding = !trim(t.text("RITACC")).empty();
    f.euCustomer = t.logical("CEE");
    f.vatNumber = t.text("PIVA");
    return f;
}

double TOTALE(bool withInps, bool net, double* vat, double* withholding) {
    InvoiceAmounts a = computeAmounts(invoiceFigures(db().current()));
    if (vat) *vat = a.vat;
    if (withholding) *withholding = a.withholding;
    if (net) return a.net;
    return withInps ? a.taxable : a.lines;
}

} // namespace vardo
