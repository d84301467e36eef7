#include "platform/os.h"
#include "platform/profile.h"
#include "support/work_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace vardo::os {
namespace {

using test::readFileBytes;
using test::WorkFolder;
using test::writeFileBytes;

struct WriteCase {
    const char* name;
    std::optional<std::string> before; // nullopt: no file
    const char* section;
    const char* key;
    std::string value;
    std::string after;
};

TEST(Profile, WriteReplacesInPlaceOrAppendsAndKeepsEveryOtherLine) {
    const WriteCase cases[] = {
        {"creates the file", std::nullopt, "Vars", "CFG_IVA", "N0", "[Vars]\r\nCFG_IVA=N0\r\n"},
        {"fills an empty file", "", "Mru", "Mru1", "/a/F", "[Mru]\r\nMru1=/a/F\r\n"},
        {"replaces in place, names in any case", "[vars]\r\nx=0\r\n  cfg_iva = N0 \r\ny=1\r\n",
         "Vars", "CFG_IVA", "N22", "[vars]\r\nx=0\r\nCFG_IVA=N22\r\ny=1\r\n"},
        {"appends to its section, before the blank line",
         "; note\r\n[A]\r\nk=1\r\n\r\n[B]\r\nm=2\r\n", "a", "j", "3",
         "; note\r\n[A]\r\nk=1\r\nj=3\r\n\r\n[B]\r\nm=2\r\n"},
        {"appends to an empty last section", "[A]\r\nk=1\r\n[B]\r\n", "B", "j", "2",
         "[A]\r\nk=1\r\n[B]\r\nj=2\r\n"},
        {"appends the section at the end", "[A]\r\nk=1\r\n", "B", "j", "2",
         "[A]\r\nk=1\r\n[B]\r\nj=2\r\n"},
        {"bare LF and no final line end; first duplicate wins", "[A]\nk=1\n;k=c\nk=dup", "A", "K",
         "9", "[A]\r\nK=9\r\n;k=c\r\nk=dup\r\n"},
        {"a key of the same name in another section stays", "[B]\r\nk=1\r\n[A]\r\n", "A", "k", "2",
         "[B]\r\nk=1\r\n[A]\r\nk=2\r\n"},
        {"blanks at either end are kept inside quotes", std::nullopt, "A", "k", "  x ",
         "[A]\r\nk=\"  x \"\r\n"},
        {"a value in quotes keeps its quotes", std::nullopt, "A", "k", "\"x\"",
         "[A]\r\nk=\"\"x\"\"\r\n"},
        {"an empty value", "[A]\r\nk=1\r\n", "A", "k", "", "[A]\r\nk=\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkFolder work;
        const std::string path = work / "F.INI";
        if (c.before) writeFileBytes(path, *c.before);
        ASSERT_EQ(writeProfileString(c.section, c.key, c.value, path), Ok);
        EXPECT_EQ(readFileBytes(path), c.after);
        EXPECT_EQ(getProfileString(c.section, c.key, "?", path), c.value);
    }
}

TEST(Profile, ReadMatchesNamesInAnyCaseTrimsValuesAndFallsBackToTheDefault) {
    WorkFolder work;
    const std::string path = work / "F.INI";
    writeFileBytes(path, "top=0\r\n"
                         "[Vars]\r\n"
                         "; CFG_X=comment\r\n"
                         "CFG_IVA =  N22.5  \r\n"
                         "cfg_ra=N4\r\n"
                         "\r\n"
                         "CFG_RA=duplicate\r\n"
                         "no equals sign\r\n"
                         "Quoted= \"  a b \" \r\n"
                         "Empty=\r\n"
                         "[ Other ]\r\n"
                         "CFG_IVA=other\r\n"
                         "Last=no line end");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } reads[] = {
        {"Vars", "CFG_IVA", "N22.5"},
        {"VARS", "cfg_iva", "N22.5"},
        {"Vars", "CFG_RA", "N4"},
        {"Vars", "Quoted", "  a b "},
        {"Vars", "Empty", ""},
        {"Vars", "CFG_X", "?"},
        {"Vars", "top", "?"},
        {"Vars", "Missing", "?"},
        {"Nothing", "CFG_IVA", "?"},
        {"other", "CFG_IVA", "other"},
        {"Other", "Last", "no line end"},
    };
    for (const auto& r : reads)
        EXPECT_EQ(getProfileString(r.section, r.key, "?", path), r.expected)
            << r.section << "/" << r.key;
    EXPECT_EQ(getProfileString("Vars", "CFG_IVA", "?", work / "MISSING.INI"), "?");

    EXPECT_EQ(getProfileSection("vars", path),
              (std::vector<std::string>{"CFG_IVA", "cfg_ra", "Quoted", "Empty"}));
    EXPECT_TRUE(getProfileSection("Nothing", path).empty());
    EXPECT_TRUE(getProfileSection("Vars", work / "MISSING.INI").empty());
}

TEST(Profile, EveryByteFrom32To255SurvivesAsItIs) {
    std::string allBytes;
    for (int b = 32; b <= 255; ++b) allBytes += static_cast<char>(b);
    std::string high; // a scrambled password: bytes of 128 and above, blank filler 160
    for (int b : {193, 194, 195, 160, 160}) high += static_cast<char>(b);
    const std::string values[] = {
        allBytes,
        std::string(allBytes.rbegin(), allBytes.rend()),
        high,
        "=[x];y",
        "[Vars]",
        ";not a comment",
        "'single'",
        "   ",
        std::string(kProfileValueMax, '\xE8'),
    };
    WorkFolder work;
    const std::string path = work / "F.CFG";
    for (size_t i = 0; i < std::size(values); ++i)
        ASSERT_EQ(writeProfileString("Vars", "K" + std::to_string(i), values[i], path), Ok);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(getProfileString("Vars", "K" + std::to_string(i), "", path), values[i])
            << "value " << i;
    // No code-page translation: the bytes are in the file as they were given.
    EXPECT_NE(readFileBytes(path).find("K2=" + high + "\r\n"), std::string::npos);
    EXPECT_NE(readFileBytes(path).find(allBytes), std::string::npos);
}

TEST(Profile, AReadReturnsAtMost16383Bytes) {
    WorkFolder work;
    const std::string path = work / "F.INI";
    std::string longValue(kProfileValueMax + 100, 'x');
    longValue[kProfileValueMax - 1] = 'y';
    ASSERT_EQ(writeProfileString("A", "k", longValue, path), Ok);
    EXPECT_EQ(getProfileString("A", "k", "", path), longValue.substr(0, kProfileValueMax));
}

TEST(Profile, WhatCannotBeReadBackIsRefusedAndTheFileStaysAsItWas) {
    const struct {
        const char* section;
        const char* key;
        std::string value;
    } refused[] = {
        {"A", "k", "line\r\nbreak"},
        {"A", "k", "lf\nonly"},
        {"A", "k", std::string("n\0l", 3)},
        {"A", "k=v", "1"},
        {"A", "", "1"},
        {"A", "  ", "1"},
        {"A", "[B]", "1"},
        {"A", ";k", "1"},
        {"A]", "k", "1"},
        {"", "k", "1"},
        {"A\r\n[B", "k", "1"},
    };
    WorkFolder work;
    const std::string path = work / "F.INI";
    const std::string before = "[A]\r\nk=old\r\n";
    writeFileBytes(path, before);
    for (const auto& r : refused) {
        EXPECT_NE(writeProfileString(r.section, r.key, r.value, path), Ok) << r.key;
        EXPECT_EQ(readFileBytes(path), before) << r.key;
    }
}

TEST(Profile, AFailedWriteLeavesTheOldFileWhole) {
    WorkFolder work;
    const std::string path = work / "VARDO!.CFG";
    const std::string before = "[Vars]\r\nCFG_IVA=N22\r\n";
    writeFileBytes(path, before);
    // A folder where the new file would be written makes the write fail half-way.
    const std::string temporary = path + ".~tmp" + std::to_string(getpid());
    std::filesystem::create_directory(temporary);
    EXPECT_NE(writeProfileString("Vars", "CFG_IVA", "N10", path), Ok);
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_TRUE(std::filesystem::is_directory(temporary));

    std::filesystem::remove(temporary);
    EXPECT_EQ(writeProfileString("Vars", "CFG_IVA", "N10", path), Ok);
    EXPECT_EQ(readFileBytes(path), "[Vars]\r\nCFG_IVA=N10\r\n");
}

} // namespace
} // namespace vardo::os
