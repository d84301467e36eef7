#include "common/paths.h"
#include "platform/os.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace vardo {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUser;
using test::WorkFolder;

TEST(Paths, ExtensionIsWhatFollowsTheLastDot) {
    const std::pair<std::string, std::string> rows[] = {
        {"/dati.2024/fatture", "2024/fatture"},
        {"/dati/fatture.dbf", "dbf"},
        {"  fatture.CFG  ", "CFG"},
        {"fatture.", ""},
        {"/dati/fatture", ""},
        {"", ""},
    };
    for (const auto& [path, ext] : rows) EXPECT_EQ(CFILEEXT(path), ext) << path;
}

TEST(Paths, FullNamesAndFoldersAgainstTheCurrentFolder) {
    WorkFolder work;
    const std::string here = os::currentDirectory();
    const std::pair<std::string, std::string> names[] = {
        {"fatture", here + "/fatture"},
        {"sub/../2024.dbf", here + "/2024.dbf"},
        {"/a/./b/c.dbf", "/a/b/c.dbf"},
    };
    for (const auto& [path, full] : names) EXPECT_EQ(FULLNAME(path), full) << path;

    const std::pair<std::string, std::string> folders[] = {
        {"/x", "/"}, // the root keeps its separator
        {"/a/b/c", "/a/b"},
        {"fatture", here},
        {"sub/fatture", here + "/sub"},
    };
    for (const auto& [path, folder] : folders) {
        EXPECT_EQ(FULLPATH(path), folder) << path;
        EXPECT_EQ(driveOf(path), folder) << path;
    }
}

TEST(Paths, CurrentFolderEndsWithOneSeparator) {
    WorkFolder work;
    EXPECT_EQ(CURPATH(), os::currentDirectory() + "/");
    fs::current_path("/");
    EXPECT_EQ(CURPATH(), "/");
}

TEST(Paths, EmptyingAFolderRemovesHiddenFilesAndKeepsSubFolders) {
    WorkFolder work;
    for (std::string folder : {work / "inst", work / "inst2/"}) {
        fs::create_directories(folder + "/sub");
        for (const char* name : {"/a.dbf", "/.hidden", "/sub/keep.txt"})
            test::writeFileBytes(folder + name, "x");
        DELDIR(folder);
        EXPECT_FALSE(fs::exists(folder + "/a.dbf")) << folder;
        EXPECT_FALSE(fs::exists(folder + "/.hidden")) << folder;
        EXPECT_TRUE(fs::exists(folder + "/sub/keep.txt")) << folder;
    }
    DELDIR(work / "missing"); // nothing to do, nothing shown
}

TEST(DriveChecks, ReadyWhenEmptyOrAnExistingFolder) {
    WorkFolder work;
    ScriptedUser user;
    EXPECT_TRUE(ISREADY(""));
    EXPECT_TRUE(ISREADY(work.path()));
    user.expectMessage("Disco non pronto.");
    EXPECT_FALSE(ISREADY(work / "missing"));
    EXPECT_FALSE(ISREADY(work / "missing", false)); // silenced: no message
    user.finish();
}

TEST(DriveChecks, FullWhenNotReadyOrShortOfSpace) {
    WorkFolder work;
    ScriptedUser user;
    EXPECT_FALSE(ISFULL(""));
    EXPECT_FALSE(ISFULL(work.path()));
    user.expectMessage("Disco non pronto.");
    EXPECT_TRUE(ISFULL(work / "missing"));
    user.expectMessage("Spazio sul disco insufficiente.");
    EXPECT_TRUE(ISFULL(work.path(), std::numeric_limits<uint64_t>::max()));
    user.finish();
}

} // namespace
} // namespace vardo
