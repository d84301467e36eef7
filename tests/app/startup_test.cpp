#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/startup.h"
#include "common/settings.h"
#include "platform/os.h"
#include "support/other_instance.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUser;
using test::WorkFolder;

std::vector<std::string> instanceFolders(const std::string& temp) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(temp))
        if (e.is_directory() && e.path().filename().string()[0] == '\x7F') out.push_back(e.path().string());
    return out;
}

TEST(StartUp, FirstStartInAnEmptyFolderCreatesTheGlobalFiles) {
    WorkFolder folder;
    ScriptedUser user;
    INIT$();
    // The scripted frame runs its first-show steps and closes at once.
    EXPECT_EQ(MAIN("", "", Commands{}), 0);
    EXPECT_TRUE(fs::exists(folder / "CLIENTI.DBF"));
    EXPECT_EQ(test::readFileBytes(folder / "VARDO!.CFG"),
              "[Vars]\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\nCFG_IVA=N0\r\nCFG_RA=N0\r\n");
    EXPECT_TRUE(fs::exists(folder / "USER.USR"));
    EXPECT_EQ(fs::file_size(folder / "NET"), 32u * 2 + 2 + 2 + 1); // one field, one record
    EXPECT_EQ(instanceFolders(folder.temp()).size(), 1u);
    EXPECT_EQ(run().ACS_TEMP, instanceFolders(folder.temp())[0] + "/");
    EXIT$();
    EXPECT_TRUE(instanceFolders(folder.temp()).empty());
    EXPECT_TRUE(run().ACS_TEMP.empty());
    user.finish();
}

TEST(StartUp, AMissingFileOnTheCommandLineEndsTheProgram) {
    WorkFolder folder;
    ScriptedUser user;
    std::ofstream(folder / "FATTURE.DBF") << "x";
    for (const std::string& argument : {folder / "manca", folder / "FATTURE.DBF"}) {
        user.expectMessage("Il file specificato non esiste.");
        EXPECT_NE(MAIN(argument, "", Commands{}), 0);
        user.finish();
    }
    EXPECT_FALSE(fs::exists(folder / "VARDO!.CFG"));
}

TEST(StartUp, CleanUpRemovesStaleInstanceFoldersAndLeavesLiveOnes) {
    WorkFolder folder;
    ScriptedUser user;
    // A folder left by a run that crashed, with a view index and a work file.
    const std::string stale = folder.temp() + "/\x7F" "202401011234";
    fs::create_directory(stale);
    std::ofstream(stale + "/USER");
    std::ofstream(stale + "/\x7FVIEW1.NTX") << "index";
    // A folder of an instance that is still running, holding its USER file.
    const std::string live = folder.temp() + "/\x7F" "202401015678";
    fs::create_directory(live);
    std::ofstream(live + "/USER");
    std::ofstream(live + "/WORK.PDF") << "pdf";
    test::OtherInstance running(live + "/USER", os::File::Share::Exclusive);

    INIT$();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live + "/WORK.PDF"));
}

TEST(StartUp, InstanceNamesNeverRepeat) {
    std::string a = GETNEWFNAME(), b = GETNEWFNAME();
    EXPECT_NE(a, b);
    EXPECT_EQ(a[0], '\x7F');
    EXPECT_EQ(a.size() >= 10 && a.size() <= 16, true) << a;
}

TEST(StartUp, ExitRemovesTheInstanceFolderWithSubFoldersAndReadOnlyFiles) {
    WorkFolder folder;
    ScriptedUser user;
    SettingsScope base;
    USER();
    const std::string instance = run().ACS_TEMP;
    fs::create_directory(instance + "stampa");
    std::ofstream(instance + "stampa/PAGINA1.EMF") << "x";
    std::ofstream(instance + "SOLOLETTURA") << "x";
    fs::permissions(instance + "SOLOLETTURA", fs::perms::owner_read);
    EXIT$();
    EXPECT_FALSE(fs::exists(instance));
    user.finish();
}

} // namespace
} // namespace vardo
