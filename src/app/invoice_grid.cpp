#include "app/invoice_grid.h"

#include "common/format.h"
#include "invoice/amounts.h"
#include "store/engine.h"

namespace vardo {

const std::array<InvoiceColumnSpec, kInvoiceColumns> kInvoiceColumnSpecs = {{
    {"N.", 32, Align::Right, false},
    {"CLIENTE", 198, Align::Left, false},
    {"DATA", 72, Align::Center, false},
    {"TOTALE", 80, Align::Right, false},
    {"INPS", 80, Align::Right, false},
    {"IMPONIBILE", 80, Align::Right, false},
    {"IVA", 80, Align::Right, false},
    {"R.A.", 80, Align::Right, false},
    {"NETTO", 80, Align::Right, false},
    {"S", 16, Align::Center, true},
    {"DATE PAGAMENTO", 140, Align::Left, false},
    {"XML", 34, Align::Center, true},
    {"", 0, Align::Left, false},
}};

InvoiceRow invoiceRow() {
    WorkArea& t = db().current();
    // One computation gives the figures of every amount column of the row.
    InvoiceAmounts a = computeAmounts(invoiceFigures(t));
    double number = t.number("NUMERO");
    auto amount = [](double v) { return EZSTR(v, 13); };
    auto flag = [](bool on) { return std::string(on ? "SELECT" : "NOSELECT"); };
    return {
        number == 0 ? std::string("P") : trim(ZSTR(number, 3)),
        t.text("CLIENTE"),
        t.date("DATA").listText(),
        amount(a.lines),
        amount(a.inps),
        amount(a.taxable),
        amount(a.vat),
        amount(a.withholding),
        amount(a.net),
        flag(t.text("SALDATO") == std::string(1, kPaidMarker)),
        t.date("DATAPAG").listText() + "   " + t.date("DATAPAG2").listText(),
        flag(t.logical("XML")),
        std::string(),
    };
}

} // namespace vardo
