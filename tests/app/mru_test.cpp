#include "app/mru.h"
#include "common/settings.h"
#include "support/work_folder.h"

#include <gtest/gtest.h>
#include <memory>

namespace vardo {
namespace {

using test::readFileBytes;
using test::WorkFolder;
using test::writeFileBytes;
using Paths = std::vector<std::string>;

const char* const kMessage = "Apre questo file";

// A File popup under construction, with the list object bound after its own items.
struct FilePopup {
    Menu menu{"File", {{.text = "Nuovo file..."}, {.text = "Imposta stampante..."}}};
    Paths opened;
    TMru list{menu, 10, kMessage, [this](const std::string& path) { opened.push_back(path); }};

    // The recent-files part: "-" for the separator, then the paths.
    Paths part() const {
        Paths texts;
        for (size_t i = 2; i < menu.items.size(); ++i)
            texts.push_back(menu.items[i].separator() ? "-" : menu.items[i].text);
        return texts;
    }
};

Paths withSeparator(Paths paths) {
    paths.insert(paths.begin(), "-");
    return paths;
}

void storeEntries(const Paths& paths) {
    std::string text = "[Mru]\r\n";
    for (size_t i = 0; i < paths.size(); ++i)
        text += "Mru" + std::to_string(i + 1) + "=" + paths[i] + "\r\n";
    writeFileBytes("USER.USR", text);
}

Paths tenFiles() {
    Paths paths;
    for (int n = 1; n <= 10; ++n) paths.push_back("/fatture/F" + std::to_string(n));
    return paths;
}

TEST(RecentFiles, TwoOpensFromAnEmptyFileShowTheLastOpenedFirst) {
    WorkFolder work;
    writeFileBytes("USER.USR", "");
    FilePopup popup;
    popup.list.load();
    EXPECT_TRUE(popup.part().empty());
    int drawn = popup.menu.version;
    popup.list.save("/fatture/F2023");
    popup.list.save("/fatture/F2024");
    EXPECT_EQ(popup.part(), withSeparator({"/fatture/F2024", "/fatture/F2023"}));
    EXPECT_GT(popup.menu.version, drawn);
    EXPECT_EQ(readFileBytes(work / "USER.USR"),
              "[Mru]\r\nMru1=/fatture/F2024\r\nMru2=/fatture/F2023\r\n");
}

TEST(RecentFiles, SavePutsThePathFirstOnceAndKeepsTenEntries) {
    Paths dropped = tenFiles();
    dropped.pop_back();
    dropped.insert(dropped.begin(), "/fatture/F11");
    const struct {
        const char* name;
        Paths stored;
        std::string path;
        Paths expected;
    } cases[] = {
        {"already first", {"/a/X", "/a/Y", "/a/Z"}, "/a/X", {"/a/X", "/a/Y", "/a/Z"}},
        {"moved to the front", {"/a/X", "/a/Y", "/a/Z"}, "/a/Z", {"/a/Z", "/a/X", "/a/Y"}},
        {"other letter case replaces",
         {"/a/Fatture", "/a/Y"},
         "/A/FATTURE",
         {"/A/FATTURE", "/a/Y"}},
        {"an eleventh file drops the oldest", tenFiles(), "/fatture/F11", dropped},
        {"a full list keeps its ten",
         tenFiles(),
         "/fatture/F10",
         {"/fatture/F10", "/fatture/F1", "/fatture/F2", "/fatture/F3", "/fatture/F4", "/fatture/F5",
          "/fatture/F6", "/fatture/F7", "/fatture/F8", "/fatture/F9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        storeEntries(c.stored);
        FilePopup popup;
        popup.list.load();
        EXPECT_EQ(popup.part(), withSeparator(c.stored));
        popup.list.save(c.path);
        EXPECT_EQ(popup.part(), withSeparator(c.expected));
        FilePopup later; // what the next menu built reads from the file
        later.list.load();
        EXPECT_EQ(later.part(), withSeparator(c.expected));
    }
}

TEST(RecentFiles, EmptyKeysAreSkippedAndLeaveNoStaleEntryBehind) {
    WorkFolder work;
    writeFileBytes("USER.USR", "[mru]\r\nMru1=/a/X\r\nMru2=\r\nMru3=/a/Y\r\nmru4=/a/x\r\n");
    FilePopup popup;
    popup.list.load();
    EXPECT_EQ(popup.part(), withSeparator({"/a/X", "/a/Y", "/a/x"}));
    popup.list.save("/a/X");
    FilePopup later;
    later.list.load();
    EXPECT_EQ(later.part(), withSeparator({"/a/X", "/a/Y"}));
}

TEST(RecentFiles, AnEntryOpensItsPathWithTheListMessage) {
    WorkFolder work;
    storeEntries({"/a/X", "/a/Y"});
    FilePopup popup;
    popup.list.load();
    const MenuItem& second = popup.menu.items[4];
    EXPECT_EQ(second.prompt, kMessage);
    second.action();
    EXPECT_EQ(popup.opened, Paths{"/a/Y"});
}

TEST(RecentFiles, AnEntryWhoseOpenRebuildsThePopupStillOpensItsPath) {
    WorkFolder work;
    storeEntries({"/a/X", "/a/Y"});
    Menu menu{"File", {}};
    Paths opened;
    TMru* self = nullptr;
    TMru list(menu, 10, kMessage, [&](const std::string& path) {
        self->save(path); // as a successful open does
        opened.push_back(path);
    });
    self = &list;
    list.load();
    menu.items[2].action();
    EXPECT_EQ(opened, Paths{"/a/Y"});
    EXPECT_EQ(menu.items[1].text, "/a/Y");
}

TEST(RecentFiles, UpdatingAllListsLeavesThemIdentical) {
    WorkFolder work;
    storeEntries({"/a/X"});
    FilePopup frame;
    frame.list.load();
    FilePopup window1;
    window1.list.load();
    window1.list.save("/a/Y"); // the frame's popup does not know this one yet
    FilePopup window2;
    window2.list.load();
    AGGIORNAMRU(frame.list, {&window1.list, &window2.list}, "/a/Z");
    const Paths expected = withSeparator({"/a/Z", "/a/Y", "/a/X"});
    EXPECT_EQ(frame.part(), expected);
    EXPECT_EQ(window1.part(), expected);
    EXPECT_EQ(window2.part(), expected);
}

} // namespace
} // namespace vardo
