#include <gtest/gtest.h>

#include <filesystem>

#include "app/startup.h"
#include "commands.h"
#include "common/error.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo {
namespace {

namespace fs = std::filesystem;

// The program started with an invoice file on its command line.
class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        DBGEN(folder / "fatture", invoiceSchema());
        INIT$();
    }
    void TearDown() override { runExitCleanup(); }
    test::WorkFolder folder;
    test::ScriptedUser user;
};

TEST_F(CommandLine, AFileOfAnotherProgramIsRefusedAndTheOpenDialogFollows) {
    test::writeFileBytes(folder / "fatture.CFG", "[Vars]\r\nCFG_0001=CALTRO\r\n");
    user.expectMessage("Il file specificato non è di Vardo!.").expectOpenFile("Apri", std::nullopt);
    EXPECT_EQ(MAIN(folder / "fatture", "", programCommands()), 0);
    user.finish();
}

TEST_F(CommandLine, ATableWithoutSettingsFileIsIncomplete) {
    // The base settings come from the missing file, so they are empty.
    user.expectMessage("Il file specificato non esiste o è incompleto.").expectOpenFile("Apri", std::nullopt);
    EXPECT_EQ(MAIN(folder / "fatture", "", programCommands()), 0);
    user.finish();
}

TEST_F(CommandLine, AGoodFileOpensInItsWindow) {
    test::writeFileBytes(folder / "fatture.CFG", "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\nCFG_9999=C\r\n");
    // The scripted frame closes right after its first-show steps, which open the file.
    EXPECT_EQ(MAIN(folder / "fatture", "", programCommands()), 0);
    EXPECT_NE(test::readFileBytes(folder / "USER.USR").find(folder / "fatture"), std::string::npos);
    user.finish();
}

} // namespace
} // namespace vardo
