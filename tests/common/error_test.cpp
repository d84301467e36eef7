#include <gtest/gtest.h>

#include "platform/cp1252.h"
#include "common/error.h"
#include "platform/os.h"
#include "support/scripted_user.h"

namespace vardo {
namespace {

using test::ScriptedUser;

VardoError errorOf(int gen, int sub, int os, std::string file) {
    VardoError e;
    e.genCode = gen;
    e.subCode = sub;
    e.osCode = os;
    e.fileName = std::move(file);
    e.subsystem = "DBF";
    return e;
}

struct MessageRow {
    int gen, sub, os;
    const char* file;
    const char* message;
};

TEST(ErrorHandler, MessageRowsShowTheirTextAndAbandonTheStep) {
    const MessageRow rows[] = {
        {EG_OPEN, 0, os::NotReady, "/mnt/a.dbf", "Disco /MNT/A.DBF non pronto."},
        {EG_OPEN, 0, 27, "x", "Disco X non formattato."},
        {EG_OPEN, 0, 31, "x", "Disco X non formattato."},
        {EG_WRITE, 0, os::WriteProtected, "f.dbf", "Disco F.DBF protetto da scrittura."},
        {EG_CREATE, 0, os::CannotMakeEntry, "d", "Directory D piena."},
        {EG_WRITE, ES_COPY_INCOMPLETE, 0, "c.dbf", "Spazio sul disco C.DBF insufficiente."},
        {EG_WRITE, 0, os::DiskFull, "c.dbf", "Spazio sul disco C.DBF insufficiente."},
        {EG_OPEN, 0, os::AccessDenied, "fatture.dbf", "Impossibile accedere al file FATTURE.DBF."},
        {EG_OPEN, 0, os::PathNotFound, "/no/f.dbf", "Percorso /NO/F.DBF non trovato."},
        {EG_OPEN, 0, os::FileNotFound, "f.dbf", "Impossibile aprire il file F.DBF."},
        {EG_READ, ES_CORRUPT_TABLE, 0, "f.dbf", "Il file F.DBF risulta corrotto."},
        {EG_CORRUPTION, 0, 0, "f.ntx", "Il file F.NTX risulta corrotto."},
        {EG_OPEN, 0, os::FileNotFound, "", "Impossibile aprire il file ."},
    };
    for (const auto& row : rows) {
        ScriptedUser user;
        user.expectMessage(row.message);
        EXPECT_EQ(DEFERROR(errorOf(row.gen, row.sub, row.os, row.file)), ErrorOutcome::Abandoned)
            << row.message;
        user.finish();
    }
}

TEST(ErrorHandler, AutomationErrorShowsItsDescription) {
    ScriptedUser user;
    VardoError e = errorOf(EG_OLE, 0, 0, "");
    e.subsystem = "CDO";
    e.description = "Server non raggiungibile";
    user.expectMessage(cp1252ToUtf8(ERRORMESSAGE(e)));
    EXPECT_EQ(DEFERROR(e), ErrorOutcome::Abandoned);
    user.finish();
}

TEST(ErrorHandler, QuietRowsSetTheNetworkFlagOrYieldTheDefault) {
    ScriptedUser user; // nothing expected: any message fails the test
    setNetErr(false);
    EXPECT_EQ(DEFERROR(errorOf(EG_ZERODIV, 1340, 0, "")), ErrorOutcome::Defaulted);
    EXPECT_FALSE(NETERR());

    VardoError shared = errorOf(EG_OPEN, 0, os::SharingViolation, "f.dbf");
    shared.canDefault = true;
    EXPECT_EQ(DEFERROR(shared), ErrorOutcome::Defaulted);
    EXPECT_TRUE(NETERR());

    setNetErr(false);
    VardoError append = errorOf(EG_APPENDLOCK, 0, 0, "f.dbf");
    append.canDefault = true;
    EXPECT_EQ(DEFERROR(append), ErrorOutcome::Defaulted);
    EXPECT_TRUE(NETERR());
    setNetErr(false);

    EXPECT_EQ(safeDivide(10, 0), 0.0);
    EXPECT_EQ(safeDivide(10, 4), 2.5);
    user.finish();
}

TEST(ErrorHandler, SharingViolationWithoutDefaultIsReported) {
    ScriptedUser user;
    VardoError e = errorOf(EG_OPEN, 0, os::SharingViolation, "f.dbf");
    user.expectMessage(cp1252ToUtf8(ERRORMESSAGE(e)) + ";;Inviare rapporto di errore via email?", BTN_CANCEL);
    EXPECT_EQ(DEFERROR(e), ErrorOutcome::ProgramEnds);
    EXPECT_TRUE(user.opened.empty());
    user.finish();
}

TEST(ErrorMessage, IsBuiltFromItsPieces) {
    VardoError e = errorOf(EG_OPEN, 1001, 0, "C:/X.DBF");
    e.description = "Open error";
    e.where = std::source_location::current();
    const std::string tail = ";Function: " + std::string("vardo::{anonymous}::ErrorMessage_IsBuiltFromItsPieces_Test::TestBody") +
                             "  Line: " + std::to_string(e.where.line());
    EXPECT_EQ(ERRORMESSAGE(e), "Error DBF/1001  Open error: C:/X.DBF" + tail);

    e.severity = 1;
    e.subsystem.clear();
    e.subCode = 0;
    e.fileName.clear();
    e.operation = "Append";
    e.description.clear();
    EXPECT_EQ(ERRORMESSAGE(e), "Warning ?\?\?/?\?\?: Append" + tail);
}

// Raises as any routine of the program does, to see the place reported.
[[gnu::noinline]] void raiseInHere(int& line) {
    line = __LINE__ + 1;
    throw fileError(EG_WRITE, os::OtherError, "z.dbf");
}

TEST(ErrorReport, NamesTheRaisingRoutineAndOffersMail) {
    ScriptedUser user;
    int line = 0;
    std::string description;
    try {
        raiseInHere(line);
    } catch (const VardoError& e) {
        description = ERRORMESSAGE(e);
    }
    EXPECT_NE(description.find(";Function: vardo::{anonymous}::raiseInHere  Line: " + std::to_string(line)),
              std::string::npos)
        << description;

    user.expectMessage(cp1252ToUtf8(description) + ";;Inviare rapporto di errore via email?", BTN_OK);
    bool ended = false;
    try {
        guarded([&] { raiseInHere(line); });
    } catch (const ProgramEnd&) {
        ended = true;
    }
    EXPECT_TRUE(ended);
    ASSERT_EQ(user.opened.size(), 1u);
    EXPECT_EQ(user.opened[0], errorReportAddress(os::programPath(), description));
    user.finish();
}

TEST(ErrorReport, AddressEscapesWhatMailtoDoesNotAllow) {
    const std::string description = "Error DBF/7  100% #1 a?b & c/d"_cp + "\xE8" + ";Function: f  Line: 3";
    EXPECT_EQ(errorReportAddress("/opt/vardo", description),
              "mailto:?subject=Rapporto%20di%20errore&body=Applicazione:%20%2Fopt%2Fvardo%0d%0a%0d%0a"
              "Error%20DBF%2F7%20%20100%25%20%231%20a%3Fb%20%26%20c%2Fd%C3%A8%0d%0aFunction:%20f%20%20Line:%203");
}

TEST(GuardedStep, ReturnsFalseAfterTheMessageAndTrueOtherwise) {
    ScriptedUser user;
    user.expectMessage("Impossibile aprire il file A.DBF.");
    EXPECT_FALSE(guarded([] { throw fileError(EG_OPEN, os::FileNotFound, "a.dbf"); }));
    EXPECT_TRUE(guarded([] {}));
    user.finish();
}

} // namespace
} // namespace vardo
