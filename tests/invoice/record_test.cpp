#include <gtest/gtest.h>

#include "common/window.h"
#include "invoice/amounts.h"
#include "invoice/paid.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo {
namespace {

class InvoiceRecord : public ::testing::Test {
protected:
    void SetUp() override {
        DBGEN(folder / "FATT", invoiceSchema());
        DBOPEN(true, folder / "FATT", "FATT", false, false);
        db().current().append();
    }
    void TearDown() override { CLOSEALL(); }
    WorkArea& t() { return db().current(); }

    test::WorkFolder folder;
    test::ScriptedUser user;
};

TEST_F(InvoiceRecord, TotaleCallFormsReadTheCurrentRecord) {
    t().put("QUANT01", 2.0);
    t().put("IMPOR01", 50.0);
    t().put("IMPOR02", 12.5);
    t().put("ALIQINPS", 2.0);
    t().put("ALIQIVA", 22.0);
    t().put("ALIQRA", 20.0);
    t().put("PIVA", std::string("01234567897"));
    t().put("RITACC", std::string(1, kPaidMarker));
    t().commit();
    double vat = -1, withholding = -1;
    EXPECT_DOUBLE_EQ(TOTALE(), 112.5);
    EXPECT_DOUBLE_EQ(TOTALE(true), 114.75);
    EXPECT_DOUBLE_EQ(TOTALE(true, false, &vat, &withholding), 114.75);
    EXPECT_DOUBLE_EQ(vat, 25.25);
    EXPECT_DOUBLE_EQ(withholding, 22.95);
    EXPECT_DOUBLE_EQ(TOTALE(false, true), 114.75 + 25.25 - 22.95);
    // The slots are filled whatever the flags.
    vat = withholding = -1;
    TOTALE(false, false, &vat, &withholding);
    EXPECT_DOUBLE_EQ(vat, 25.25);

    t().put("CEE", true);
    EXPECT_DOUBLE_EQ(TOTALE(false, true), 114.75 - 22.95);
    // Without a current record every figure is 0.
    t().goBottom();
    t().skip();
    EXPECT_DOUBLE_EQ(TOTALE(false, true, &vat, &withholding), 0.0);
    EXPECT_DOUBLE_EQ(vat, 0.0);
}

TEST_F(InvoiceRecord, PaidToggleKeepsAFirstDateAndClearsBoth) {
    Window window;
    const Date typed = Date::ymd(2025, 1, 10);
    t().put("DATAPAG", typed);
    t().commit();
    SALDATO(window);
    EXPECT_EQ(t().text("SALDATO"), std::string(1, kPaidMarker));
    EXPECT_EQ(t().date("DATAPAG"), typed);
    EXPECT_EQ(t().date("DATAPAG2"), Date::today());
    SALDATO(window);
    EXPECT_EQ(t().text("SALDATO"), " ");
    EXPECT_TRUE(t().date("DATAPAG").empty());
    EXPECT_TRUE(t().date("DATAPAG2").empty());
    // An unpaid invoice without dates gets today as its first payment date.
    SALDATO(window);
    EXPECT_EQ(t().date("DATAPAG"), Date::today());
    EXPECT_TRUE(t().date("DATAPAG2").empty());
    // Written to the file at once.
    CLOSEALL();
    DBOPEN(true, folder / "FATT", "FATT", true, true);
    EXPECT_EQ(t().text("SALDATO"), std::string(1, kPaidMarker));
}

} // namespace
} // namespace vardo
