#include "common/error.h"
#include "common/settings.h"
#include "platform/os.h"
#include "support/work_folder.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

using test::readFileBytes;
using test::WorkFolder;
using test::writeFileBytes;

const char* const kNewGlobalFile =
    "[Vars]\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\nCFG_IVA=N0\r\nCFG_RA=N0\r\n";

// What start-up writes when the global file is missing.
void setDefaultRates(SettingsScope& scope) {
    scope.set("CFG_IVA", 0.0);
    scope.set("CFG_INPS", 0.0);
    scope.set("CFG_RA", 0.0);
    scope.set("CFG_ART1", false);
}

// What creating an invoice file does: its marker and password in a scope of its own.
void createInvoiceSettings(const std::string& path) {
    SettingsScope own;
    own.set("CFG_0001", run().PRG_ID);
    own.set("CFG_9999", std::string());
    SAVEINI("CFG_*", path);
}

TEST(Settings, ANewGlobalFileHoldsTheDefaultsInNameOrder) {
    WorkFolder work;
    SettingsScope base;
    setDefaultRates(base);
    base.set("PATH_LIKE", std::string("not a settings name")); // outside the mask
    SAVEINI("CFG_*", "VARDO!.CFG");
    EXPECT_EQ(readFileBytes(work / "VARDO!.CFG"), kNewGlobalFile);
}

TEST(Settings, ANewInvoiceFileReceivesItsMarkerAndTheBaseSettings) {
    WorkFolder work;
    writeFileBytes(work / "VARDO!.CFG",
                   "[Vars]\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\nCFG_IVA=N22\r\nCFG_RA=N0\r\n");
    SettingsScope base;
    base.load("VARDO!.CFG");
    createInvoiceSettings("FATTURE.CFG");
    EXPECT_EQ(readFileBytes(work / "FATTURE.CFG"),
              "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\nCFG_9999=C\r\nCFG_ART1=L.F.\r\n"
              "CFG_INPS=N0\r\nCFG_IVA=N22\r\nCFG_RA=N0\r\n");
    EXPECT_FALSE(settingExists("CFG_0001")); // gone with the scope that created it
}

TEST(Settings, StoredValuesDecodeByTheirTypeLetter) {
    const struct {
        const char* stored;
        Value expected;
    } cases[] = {
        {"N22.5", 22.5},
        {"N-0.25", -0.25},
        {"N0", 0.0},
        {"N12abc", 12.0},
        {"Nabc", 0.0},
        {"N", 0.0},
        {"L.T.", true},
        {"L.T.x", true},
        {"L", false},
        {"L.F.", false},
        {"L.t.", false},
        {"CKOBA", std::string("KOBA")},
        {"C", std::string()},
        {"C  a b  ", std::string("  a b  ")},
        {"D05/03/2024", Date::ymd(2024, 3, 5)},
        {"D31/02/2024", Date()},
        {"D  /  /", Date()},
        {"Dtoday", Date()},
        {"X22", std::monostate{}},
        {"UNIL", std::monostate{}},
        {"", std::monostate{}},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeSetting(c.stored), c.expected) << c.stored;
}

TEST(Settings, ValuesEncodeAsTypeLetterAndTextWithoutTrailingBlanks) {
    const struct {
        Value value;
        const char* stored;
    } cases[] = {
        {std::string("KOBA  "), "CKOBA"},
        {std::string("  a"), "C  a"},
        {std::string(), "C"},
        {22.0, "N22"},
        {22.5, "N22.5"},
        {-0.25, "N-0.25"},
        {Date::ymd(2024, 3, 5), "D05/03/2024"},
        {Date(), "D  /  /"},
        {true, "L.T."},
        {false, "L.F."},
        {std::monostate{}, "UNIL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeSetting(c.value), c.stored);
        EXPECT_EQ(decodeSetting(encodeSetting(c.value)), decodeSetting(c.stored));
    }
}

TEST(Settings, ALoadCreatesOneVariablePerKeyWithItsDecodedValue) {
    WorkFolder work;
    std::string scrambled = "\xC1\xC2\xC3\xA0\xA0"; // a password as the file keeps it
    writeFileBytes(work / "F.CFG", "[Vars]\r\nCFG_IVA=N22.5\r\nCFG_ART1=L.T.\r\nCFG_FLAG=L\r\n"
                                   "cfg_lower=C x\r\nCFG_ODD=Q1\r\nCFG_9999=C" +
                                       scrambled + "\r\n[Other]\r\nCFG_OTHER=N1\r\n");
    SettingsScope scope;
    scope.load("F.CFG");
    EXPECT_EQ(setting("CFG_IVA"), Value(22.5));
    EXPECT_EQ(setting("CFG_ART1"), Value(true));
    EXPECT_EQ(setting("CFG_FLAG"), Value(false));
    EXPECT_EQ(setting("CFG_LOWER"), Value(std::string(" x")));
    EXPECT_TRUE(settingExists("CFG_ODD"));
    EXPECT_EQ(setting("CFG_ODD"), Value(std::monostate{}));
    EXPECT_EQ(setting("CFG_9999"), Value(scrambled));
    EXPECT_FALSE(settingExists("CFG_OTHER"));

    SettingsScope nothing;
    nothing.load("MISSING.CFG");
    EXPECT_EQ(setting("CFG_IVA"), Value(22.5));
}

TEST(Settings, AnInnerScopeHidesTheOuterOneUntilItEnds) {
    WorkFolder work;
    writeFileBytes(work / "F.CFG", "[Vars]\r\nCFG_IVA=N22\r\nCFG_0001=Cmark\r\n");
    SettingsScope base;
    setDefaultRates(base);
    {
        SettingsScope inner;
        inner.load("F.CFG");
        EXPECT_EQ(setting("CFG_IVA"), Value(22.0));
        EXPECT_EQ(setting("CFG_RA"), Value(0.0)); // the file lacks it: the base shows through
        assignSetting("CFG_IVA", 10.0);           // changes the innermost one only
        EXPECT_EQ(setting("CFG_IVA"), Value(10.0));
    }
    EXPECT_EQ(setting("CFG_IVA"), Value(0.0));
    EXPECT_FALSE(settingExists("CFG_0001"));
}

TEST(Settings, SavingAFileWithOnlyTheMarkerAddsTheBaseSettings) {
    WorkFolder work;
    writeFileBytes(work / "OLD.CFG", "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\n");
    SettingsScope base;
    setDefaultRates(base);
    {
        SettingsScope own;
        own.load("OLD.CFG");
        SAVEINI("CFG_*", "OLD.CFG");
    }
    EXPECT_EQ(readFileBytes(work / "OLD.CFG"),
              "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\n"
              "CFG_IVA=N0\r\nCFG_RA=N0\r\n");
}

TEST(Settings, TheGlobalFileReceivesTheMarkerWhenTheBaseCameFromAnInvoiceFile) {
    WorkFolder work;
    writeFileBytes(work / "VARDO!.CFG", kNewGlobalFile);
    writeFileBytes(work / "FATTURE.CFG", "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\n"
                                         "CFG_9999=C\r\nCFG_IVA=N22\r\n");
    SettingsScope base;
    base.load("FATTURE.CFG"); // named on the command line
    {
        // The billing parameters of the global file, confirmed with a new rate.
        SettingsScope own;
        own.load("VARDO!.CFG");
        assignSetting("CFG_IVA", 21.0);
        SAVEINI("CFG_*", "VARDO!.CFG");
    }
    EXPECT_EQ(readFileBytes(work / "VARDO!.CFG"),
              "[Vars]\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\nCFG_IVA=N21\r\nCFG_RA=N0\r\n"
              "CFG_0001=CKOBA_Software_VARDO!\r\nCFG_9999=C\r\n");
}

TEST(Settings, TheBaseScopeIsNotChangedBySavesDuringTheRun) {
    WorkFolder work;
    writeFileBytes(work / "VARDO!.CFG", kNewGlobalFile);
    SettingsScope base;
    base.load("VARDO!.CFG");
    {
        SettingsScope own;
        own.load("VARDO!.CFG");
        assignSetting("CFG_IVA", 22.0);
        SAVEINI("CFG_*", "VARDO!.CFG");
    }
    EXPECT_EQ(setting("CFG_IVA"), Value(0.0));
    createInvoiceSettings("NUOVO.CFG");
    {
        SettingsScope later;
        later.load("NUOVO.CFG");
        EXPECT_EQ(setting("CFG_IVA"), Value(0.0));
    }
}

TEST(Settings, RestoreAssignsToTheVisibleVariablesAndCreatesTheOthers) {
    WorkFolder work;
    writeFileBytes(work / "F.CFG", "[Vars]\r\nCFG_IVA=N22\r\nCFG_NEW=Cx\r\n");
    SettingsScope outer;
    outer.set("CFG_IVA", 0.0);
    {
        SettingsScope inner;
        RESTOREINI("F.CFG");
    }
    EXPECT_EQ(setting("CFG_IVA"), Value(22.0));
    EXPECT_FALSE(settingExists("CFG_NEW"));
}

TEST(Settings, SaveKeepsKeysItDoesNotWriteAndMatchesNamesInAnyCase) {
    WorkFolder work;
    writeFileBytes(work / "F.CFG", "[Vars]\r\n; kept\r\ncfg_iva=N5\r\nKEEP=x\r\n");
    SettingsScope scope;
    scope.load("F.CFG");
    EXPECT_EQ(setting("CFG_IVA"), Value(5.0));
    assignSetting("cfg_iva", 6.0);
    SAVEINI("CFG_*", "F.CFG");
    EXPECT_EQ(readFileBytes(work / "F.CFG"), "[Vars]\r\n; kept\r\nCFG_IVA=N6\r\nKEEP=x\r\n");
}

TEST(Settings, ReadingANameNoScopeHasIsARunTimeError) {
    SettingsScope base;
    base.set("CFG_IVA", 0.0);
    try {
        setting("CFG_NONE");
        FAIL() << "no error";
    } catch (const VardoError& e) {
        EXPECT_EQ(e.genCode, EG_NOVAR);
        EXPECT_EQ(e.subsystem, "BASE");
        EXPECT_EQ(e.subCode, 1003);
        EXPECT_EQ(e.description, "Variable does not exist");
        EXPECT_EQ(e.operation, "CFG_NONE");
    }
}

TEST(Settings, ASaveThatDoesNotReachTheFileIsAnError) {
    WorkFolder work;
    SettingsScope base;
    setDefaultRates(base);
    try {
        SAVEINI("CFG_*", "NO_FOLDER/F.CFG");
        FAIL() << "no error";
    } catch (const VardoError& e) {
        EXPECT_EQ(e.genCode, EG_WRITE);
        EXPECT_EQ(e.osCode, os::PathNotFound);
        EXPECT_EQ(e.fileName, "NO_FOLDER/F.CFG");
    }
}

TEST(Settings, PathsAreResolvedAgainstTheWorkingFolder) {
    WorkFolder work;
    WRITEPPROSTRING("Vars", "CFG_IVA", "N1", "./sub/../VARDO!.CFG");
    EXPECT_EQ(GETPVPROFSTRING("Vars", "CFG_IVA", "", work / "VARDO!.CFG"), "N1");
    writeFileBytes(work / "T.CFG", "[Vars]\r\nCFG_A  =1\r\nCFG_B=2\r\n");
    EXPECT_EQ(GETPVPROFSECTION("Vars", "T.CFG"), (std::vector<std::string>{"CFG_A", "CFG_B"}));
}

} // namespace
} // namespace vardo
