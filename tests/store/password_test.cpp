#include <gtest/gtest.h>

#include "common/settings.h"
#include "store/password.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo {
namespace {

using test::ScriptedUser;
using test::WorkFolder;

class FilePassword : public ::testing::Test {
protected:
    // An invoice file's settings as a new file gets them.
    void SetUp() override {
        test::writeFileBytes(folder / "FATT.CFG", "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\nCFG_9999=C\r\n"
                                                  "CFG_ART1=L.F.\r\nCFG_INPS=N0\r\nCFG_IVA=N22\r\nCFG_RA=N0\r\n");
    }
    std::string file() const { return folder / "FATT"; }
    // Sets a password through the window's dialog, typed twice.
    void setPassword(ScriptedUser& user, const std::string& text) {
        user.expectDialog("PASSWD2").type(101, text).press(201);
        user.expectDialog("PASSWD3").type(101, text).press(201);
        PASSWD2(file());
    }

    WorkFolder folder;
    SettingsScope base;
};

TEST(Crypt, AddsHalfTheByteRangeAndUndoesItself) {
    EXPECT_EQ(CRYPT("ABC"), "\xC1\xC2\xC3");
    EXPECT_EQ(CRYPT(CRYPT("Rossi 1!")), "Rossi 1!");
    EXPECT_EQ(CRYPT("   "), "   ");
    EXPECT_EQ(CRYPT(""), "");
}

TEST_F(FilePassword, IsStoredScrambledInCapitalsAndAskedAtOpen) {
    ScriptedUser user;
    EXPECT_FALSE(HASPASSWD(file()));
    EXPECT_TRUE(PASSWD(file())); // no password: no dialog
    setPassword(user, "segreto");
    // Ten scrambled bytes, the filler blanks included.
    std::string cfg = test::readFileBytes(folder / "FATT.CFG");
    EXPECT_NE(cfg.find("CFG_9999=C" + CRYPT("SEGRETO   ") + "\r\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("CFG_IVA=N22\r\n"), std::string::npos);
    EXPECT_EQ(GETPASSWD(file()), "SEGRETO");
    EXPECT_TRUE(ISPASSWD(file(), "SEGRETO   "));
    EXPECT_FALSE(ISPASSWD(file(), "segreto")); // a command-line password must be in capitals

    user.expectDialog("PASSWD").type(101, "Segreto").press(201);
    EXPECT_TRUE(PASSWD(file()));
    user.expectDialog("PASSWD").type(101, "altro").press(201).expectMessage("Password non corretta.");
    EXPECT_FALSE(PASSWD(file()));
    user.expectDialog("PASSWD").press(201).expectMessage("Campo non valido.").press(202);
    EXPECT_FALSE(PASSWD(file()));
    user.finish();
}

TEST_F(FilePassword, EliminaOrABlankFieldRemovesIt) {
    for (bool useElimina : {true, false}) {
        ScriptedUser user;
        setPassword(user, "ABC");
        ASSERT_TRUE(HASPASSWD(file()));
        if (useElimina)
            user.expectDialog("PASSWD2").type(101, "xyz").press(203);
        else
            user.expectDialog("PASSWD2").type(101, "").press(201);
        PASSWD2(file());
        EXPECT_FALSE(HASPASSWD(file()));
        EXPECT_TRUE(PASSWD(file()));
        user.finish();
    }
}

TEST_F(FilePassword, AConfirmationThatDiffersChangesNothing) {
    ScriptedUser user;
    setPassword(user, "PRIMA");
    user.expectDialog("PASSWD2").type(101, "NUOVA").press(201);
    user.expectDialog("PASSWD3").type(101, "NUOVE").press(201).expectMessage("Password non confermata.");
    PASSWD2(file());
    EXPECT_EQ(GETPASSWD(file()), "PRIMA");
    user.finish();
}

TEST_F(FilePassword, ACharacterTheFileCannotKeepIsRefused) {
    // The euro sign scrambles into a zero byte.
    ScriptedUser user;
    user.expectDialog("PASSWD2").type(101, "A€").press(201).expectMessage("Campo non valido.").press(202);
    PASSWD2(file());
    EXPECT_FALSE(HASPASSWD(file()));
    user.finish();
}

TEST_F(FilePassword, MissingKeyFallsBackToTheBaseSettings) {
    test::writeFileBytes(folder / "FATT.CFG", "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\n");
    EXPECT_FALSE(HASPASSWD(file()));
    base.set("CFG_9999", CRYPT("BASE      "));
    EXPECT_EQ(GETPASSWD(file()), "BASE");
}

} // namespace
} // namespace vardo
