#include <gtest/gtest.h>

#include "common/dialog.h"
#include "common/format.h"
#include "support/scripted_user.h"

namespace vardo {
namespace {

using test::ScriptedUser;

// Five entry fields: text, date, number, text, text with a rule.
Dialog fiveFields(bool asks) {
    Dialog d("PROVA", "Prova");
    d.asksBeforeDiscard = asks;
    d.add({.id = 101, .kind = ControlKind::Label, .label = "Nome:"});
    d.add({.id = 102, .kind = ControlKind::Edit, .value = std::string(), .length = 10});
    d.add({.id = 103, .kind = ControlKind::Edit, .value = Date()});
    d.add({.id = 104, .kind = ControlKind::Edit, .value = 0.0, .picture = "999"});
    d.add({.id = 105, .kind = ControlKind::Edit, .value = std::string(), .length = 5});
    d.add({.id = 106,
           .kind = ControlKind::Edit,
           .value = std::string(),
           .length = 5,
           .valid = [](const Value& v) { return !trim(asText(v)).empty(); }});
    addConfirmCancel(d);
    return d;
}

TEST(DialogRules, OnlyTheFirstFailureIsReportedAndFocused) {
    ScriptedUser user;
    Dialog d = fiveFields(false);
    user.expectDialog("PROVA")
        .type(103, "31/02/2024")
        .press(201)
        .expectMessage("Data non valida.")
        .inspect([](Dialog& dlg) { EXPECT_EQ(dlg.focus(), dlg.indexOf(103)); })
        .type(103, "28/02/2024")
        .press(201)
        .expectMessage("Campo non valido.")
        .inspect([](Dialog& dlg) { EXPECT_EQ(dlg.focus(), dlg.indexOf(106)); })
        .type(106, "ok")
        .press(201);
    EXPECT_EQ(ui().runDialog(d), 1);
    EXPECT_EQ(user.invalidMarks, (std::vector<int>{d.indexOf(103), d.indexOf(106)}));
    EXPECT_EQ(asDate(d.ITEM(103)->value), Date::ymd(2024, 2, 28));
    user.finish();
}

TEST(DialogRules, TooLargeNumberIsReported) {
    ScriptedUser user;
    Dialog d = fiveFields(false);
    d.setBoundValue(d.indexOf(104), 1234.0);
    EXPECT_EQ(d.ITEM(104)->edit.text, "***");
    user.expectDialog("PROVA").press(201).expectMessage("Numero troppo grande.").escape();
    EXPECT_EQ(ui().runDialog(d), 0);
    user.finish();
}

TEST(DialogRules, DisabledControlIsNeverValidated) {
    ScriptedUser user;
    Dialog d = fiveFields(false);
    d.ITEM(106)->when = [] { return false; };
    user.expectDialog("PROVA").press(201);
    EXPECT_EQ(ui().runDialog(d), 1);
    user.finish();
}

TEST(DialogRules, CancellingAModifiedEditorAsks) {
    ScriptedUser user;
    Dialog d = fiveFields(true);
    user.expectDialog("PROVA")
        .type(102, "Rossi")
        .escape()
        .expectMessage("Annullo le modifiche?", BTN_NO)
        .inspect([](Dialog& dlg) {
            EXPECT_FALSE(dlg.ended());
            EXPECT_EQ(dlg.focus(), dlg.indexOf(102));
        })
        .press(202)
        .expectMessage("Annullo le modifiche?", BTN_YES);
    EXPECT_EQ(ui().runDialog(d), 2);
    EXPECT_EQ(user.beeps, (std::vector<int>{880, 880}));
    user.finish();
}

TEST(DialogRules, UnchangedEditorAndPlainDialogsCloseAtOnce) {
    for (bool asks : {true, false}) {
        ScriptedUser user;
        Dialog d = fiveFields(asks);
        if (asks)
            user.expectDialog("PROVA").escape();
        else
            user.expectDialog("PROVA").type(102, "Rossi").escape();
        EXPECT_EQ(ui().runDialog(d), 0);
        user.finish();
    }
}

TEST(DialogRules, ComboTextBecomesItsValueOnConfirm) {
    ScriptedUser user;
    Dialog d("COMBO", "");
    d.add({.id = 106,
           .kind = ControlKind::ComboBox,
           .value = std::string(),
           .items = {"", "Rimessa diretta"},
           .valid = [](const Value& v) { return asText(v) == "30 giorni"; }});
    addConfirmCancel(d);
    d.setComboText(0, "30 giorni");
    user.expectDialog("COMBO").press(201);
    EXPECT_EQ(ui().runDialog(d), 1);
    EXPECT_EQ(asText(d.ITEM(106)->value), "30 giorni");
    user.finish();
}

TEST(DialogRules, RefreshShowsNewValuesButLeavesABadDate) {
    Dialog d = fiveFields(false);
    d.focusTo(d.indexOf(103));
    for (char c : std::string("99/99/2024")) d.typeChar(c);
    d.focusTo(d.indexOf(102));
    d.ITEM(104)->value = 42.0;
    d.ITEM(103)->value = Date::ymd(2024, 1, 1);
    REFRESHALL(d);
    EXPECT_EQ(d.ITEM(104)->edit.text, " 42");
    EXPECT_EQ(d.ITEM(103)->edit.text, "99/99/2024");
}

TEST(DialogLookup, ByIdPositionAndName) {
    Dialog d = fiveFields(false);
    d.ITEM(105)->name = "cPagamento";
    EXPECT_EQ(d.ITEM(104)->id, 104);
    EXPECT_EQ(d.ITEM(999), nullptr);
    EXPECT_EQ(d.CTL(2)->id, 102);
    EXPECT_EQ(d.CTL(99), nullptr);
    EXPECT_EQ(d.CTL("cPag")->id, 105);
    EXPECT_EQ(d.CTL("nothing"), nullptr);
}

TEST(AboutBox, ShowsNameVersionYearAndCloses) {
    ScriptedUser user;
    user.expectDialog("INFOS")
        .inspect([](Dialog& d) {
            EXPECT_EQ(d.ITEM(101)->bitmap, "KOBA");
            EXPECT_EQ(d.ITEM(102)->label, "VARDO! - Fatturazione");
            EXPECT_EQ(d.ITEM(103)->label, "Versione: 1.74");
            EXPECT_EQ(d.ITEM(104)->label, "2026 KOBA Software");
            EXPECT_EQ(d.ITEM(201)->label, "&Chiudi");
        })
        .press(201);
    INFOS("VARDO! - Fatturazione", "1.74", "2026");
    user.finish();
}

} // namespace
} // namespace vardo
