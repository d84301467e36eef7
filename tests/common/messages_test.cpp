#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "common/messages.h"
#include "common/ui.h"
#include "support/scripted_user.h"

namespace vardo {
namespace {

using test::ScriptedUser;
using Log = std::vector<std::string>;

TEST(MessageBox, ResultsOfEveryType) {
    struct Row {
        int type, pressed, result;
    };
    const Row rows[] = {
        {MSG_INFO, BTN_OK, 0},         {MSG_OKCANCEL, BTN_OK, 1},      {MSG_OKCANCEL, BTN_CANCEL, 0},
        {MSG_YESNOCANCEL, BTN_YES, 6}, {MSG_YESNOCANCEL, BTN_NO, 7},   {MSG_YESNOCANCEL, BTN_CANCEL, 2},
        {MSG_YESNO, BTN_YES, 1},       {MSG_YESNO, BTN_NO, 0},         {MSG_YESNO_NO, BTN_YES, 1},
        {MSG_YESNO_NO, BTN_NO, 0},     {MSG_STOP, BTN_OK, 1},          {MSG_STOP, BTN_CANCEL, 0},
    };
    for (const auto& row : rows) {
        ScriptedUser user;
        user.expectMessage("Domanda?", row.pressed);
        EXPECT_EQ(POPMSG("Domanda?", row.type), row.result) << "type " << row.type;
        // Questions beep at 880 Hz before the box; information does not.
        EXPECT_EQ(user.beeps, row.type == MSG_INFO ? std::vector<int>{} : std::vector<int>{880});
        user.finish();
    }
}

TEST(MessageBox, SemicolonsBreakLinesAndLegacyBytesBecomeAccents) {
    ScriptedUser user;
    user.expectMessage("Il file specificato è;attualmente utilizzato;da un altro utente.;Indicare un nuovo nome.");
    // 0x8A is the legacy byte for "è".
    POPMSG("Il file specificato \x8A;attualmente utilizzato;da un altro utente.;Indicare un nuovo nome.", MSG_INFO);
    user.finish();
}

TEST(WaitBox, OpensReplacesAndCloses) {
    ScriptedUser user;
    EXPECT_FALSE(CURMSG());
    POPMSG("Copia in corso.");
    EXPECT_EQ(CURMSG(), "Copia in corso.");
    POPMSG("Altro testo"); // without the replace flag nothing changes
    EXPECT_EQ(CURMSG(), "Copia in corso.");
    POPMSGREPLACE("Aggiornamento archivi in corso...");
    EXPECT_EQ(CURMSG(), "Aggiornamento archivi in corso...");
    POPMSG();
    EXPECT_FALSE(CURMSG());
    POPMSG(); // closing again does nothing
    EXPECT_EQ(user.waitLog, (Log{"open Attendere: Copia in corso.", "text: Aggiornamento archivi in corso...", "close"}));
    user.finish();
}

TEST(WaitBox, TitleCanBeGiven) {
    ScriptedUser user;
    POPMSG({.text = "Spegnere tutti i terminali...", .title = "Attenzione"});
    POPMSG();
    EXPECT_EQ(user.waitLog, (Log{"open Attenzione: Spegnere tutti i terminali...", "close"}));
}

TEST(WaitBox, ModalMessageClosesItFirst) {
    ScriptedUser user;
    POPMSG("Elaborazione in corso...");
    user.expectMessage("Disco non pronto.");
    POPMSG("Disco non pronto.", MSG_INFO);
    EXPECT_FALSE(CURMSG());
    EXPECT_EQ(user.waitLog, (Log{"open Attendere: Elaborazione in corso...", "close"}));
    EXPECT_FALSE(user.waitBoxOpen());
    user.finish();
}

TEST(PrintProgress, CountsPagesFromOne) {
    ScriptedUser user;
    POPMSG({.print = true});
    EXPECT_EQ(CURMSG(), "");
    POPMSG({.nextPage = true});
    POPMSG({.nextPage = true});
    POPMSG();
    EXPECT_EQ(user.waitLog, (Log{"open print progress", "page 1", "page 2", "close"}));
}

TEST(ScriptedUser, FailsOnAMessageTheScriptDidNotExpect) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUser user;
            user.expectMessage("Percorso non trovato.");
            try {
                POPMSG("Nome file non valido.", MSG_INFO);
            } catch (const test::ScriptFailure&) {
            }
        },
        "the program showed message \"Nome file non valido.\" (type 1, title \"Attenzione\"); "
        "the script expected message \"Percorso non trovato.\"");
}

TEST(ScriptedUser, FailsWhenSomethingExpectedNeverCame) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUser user;
            user.expectMessage("Percorso non trovato.");
            user.finish();
        },
        "never showed what the script expected next: message \"Percorso non trovato.\"");
}

} // namespace
} // namespace vardo
