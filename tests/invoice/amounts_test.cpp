#include <gtest/gtest.h>

#include <random>

#include "common/format.h"
#include "invoice/amounts.h"

namespace vardo {
namespace {

struct Line {
    double quantity, amount;
};

InvoiceFigures invoice(std::initializer_list<Line> lines, double inps, double vat, double ra,
                       bool withholding, bool eu = false, std::string piva = "01234567897") {
    InvoiceFigures f;
    int i = 0;
    for (const Line& l : lines) {
        f.quantity[i] = l.quantity;
        f.amount[i] = l.amount;
        ++i;
    }
    f.inpsRate = inps;
    f.vatRate = vat;
    f.withholdingRate = ra;
    f.withholding = withholding;
    f.euCustomer = eu;
    f.vatNumber = std::move(piva);
    return f;
}

// Every figure as the grid shows it.
struct Shown {
    std::string lines, inps, taxable, vat, withholding, net;
};

Shown shown(const InvoiceAmounts& a) {
    auto t = [](double v) { return trim(EZSTR(v, 13)); };
    return {t(a.lines), t(a.inps), t(a.taxable), t(a.vat), t(a.withholding), t(a.net)};
}

TEST(InvoiceAmounts, WorkedExamples) {
    struct Case {
        InvoiceFigures in;
        Shown out;
    };
    const Case cases[] = {
        {invoice({{0, 1000.00}}, 4, 22, 20, true), {"1.000,00", "40,00", "1.040,00", "228,80", "208,00", "1.060,80"}},
        {invoice({{0, 123.45}}, 4, 22, 20, true), {"123,45", "4,94", "128,39", "28,25", "25,68", "130,96"}},
        {invoice({{3, 333.33}, {0, 0.01}}, 4, 22, 20, true),
         {"1.000,00", "40,00", "1.040,00", "228,80", "208,00", "1.060,80"}},
        {invoice({{2, 50.00}, {0, 12.50}}, 2, 22, 20, false), {"112,50", "2,25", "114,75", "25,25", "", "140,00"}},
        {invoice({{2, 50.00}, {0, 12.50}}, 2, 22, 20, false, true), {"112,50", "2,25", "114,75", "", "", "114,75"}},
        {invoice({{2, 50.00}, {0, 12.50}}, 2, 22, 20, false, false, "           "),
         {"112,50", "2,25", "114,75", "", "", "114,75"}},
        // Empty invoice: every figure zero, every cell blank.
        {invoice({}, 4, 22, 20, true), {"", "", "", "", "", ""}},
        // Quantity 0 counts the amount once, 1 once, 2 twice.
        {invoice({{0, 80}}, 0, 0, 0, false), {"80,00", "", "80,00", "", "", "80,00"}},
        {invoice({{1, 80}}, 0, 0, 0, false), {"80,00", "", "80,00", "", "", "80,00"}},
        {invoice({{2, 80}}, 0, 0, 0, false), {"160,00", "", "160,00", "", "", "160,00"}},
        // Withholding needs both the flag and a rate.
        {invoice({{0, 100}}, 0, 0, 0, true), {"100,00", "", "100,00", "", "", "100,00"}},
        {invoice({{0, 100}}, 0, 0, 20, false), {"100,00", "", "100,00", "", "", "100,00"}},
        // EU customer with a VAT number: no VAT, net = taxable - withholding.
        {invoice({{0, 100}}, 0, 22, 20, true, true), {"100,00", "", "100,00", "", "20,00", "80,00"}},
        // An INPS surcharge of 4,938 shows as 4,94.
        {invoice({{0, 123.45}}, 4, 0, 0, false), {"123,45", "4,94", "128,39", "", "", "128,39"}},
    };
    for (const auto& c : cases) {
        Shown s = shown(computeAmounts(c.in));
        EXPECT_EQ(s.lines, c.out.lines);
        EXPECT_EQ(s.inps, c.out.inps);
        EXPECT_EQ(s.taxable, c.out.taxable);
        EXPECT_EQ(s.vat, c.out.vat);
        EXPECT_EQ(s.withholding, c.out.withholding);
        EXPECT_EQ(s.net, c.out.net) << s.lines;
    }
}

// Half away from zero on the decimal value, in whole cents: the reference.
long long roundedPercent(long long cents, int rate) {
    long long num = cents * rate; // hundredths of a cent
    return (num + 50) / 100;
}

TEST(InvoiceAmounts, AgreeWithWholeCentArithmetic) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<long long> amount(0, 99999999); // up to 999.999,99
    std::uniform_int_distribution<int> quantity(0, 999), rate(0, 99);
    for (int n = 0; n < 200000; ++n) {
        InvoiceFigures f;
        long long b = 0;
        int lines = 1 + n % 10;
        for (int i = 0; i < lines; ++i) {
            long long cents = amount(random) / (n % 3 == 0 ? 1 : 1000);
            int q = n % 4 == 0 ? quantity(random) : 0;
            f.amount[i] = static_cast<double>(cents) / 100;
            f.quantity[i] = q;
            b += q == 0 ? cents : q * cents;
        }
        f.inpsRate = rate(random);
        f.vatRate = rate(random);
        f.withholdingRate = rate(random);
        f.withholding = true;
        f.vatNumber = "x";
        long long i = roundedPercent(b, static_cast<int>(f.inpsRate));
        long long v = roundedPercent(b + i, static_cast<int>(f.vatRate));
        long long r = roundedPercent(b + i, static_cast<int>(f.withholdingRate));
        InvoiceAmounts a = computeAmounts(f);
        ASSERT_EQ(std::llround(a.lines * 100), b);
        ASSERT_EQ(std::llround(a.inps * 100), i) << b << " x " << f.inpsRate;
        ASSERT_EQ(std::llround(a.vat * 100), v) << b + i << " x " << f.vatRate;
        ASSERT_EQ(std::llround(a.withholding * 100), r) << b + i << " x " << f.withholdingRate;
        ASSERT_EQ(std::llround(a.net * 100), b + i + v - r);
    }
}

} // namespace
} // namespace vardo
