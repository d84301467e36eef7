#include <gtest/gtest.h>

#include <filesystem>

#include "app/invoice_window.h"
#include "archive/files.h"
#include "common/format.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/password.h"
#include "store/utilities.h"
#include "support/other_instance.h"
#include "support/program.h"

namespace vardo {
namespace {

namespace fs = std::filesystem;
using test::OtherInstance;
using test::Program;
using test::readFileBytes;

const char* const kOnly = "Sono ammessi solo file con estensione DBF.";
const char* const kMissing = "Il file specificato non esiste o è incompleto.";
const char* const kInUseHere = "Il file specificato è attualmente in uso.;Indicare un nuovo nome.";
const char* const kInUseElsewhere =
    "Il file specificato è;attualmente utilizzato;da un altro utente.;Indicare un nuovo nome.";

class FileCommands : public ::testing::Test {
protected:
    Program p;
    std::string at(const std::string& name) { return p.folder / name; }
    // A closed invoice file with two invoices, one of them marked deleted.
    void makeClosedFile(const std::string& file) {
        p.createInvoiceFile(file);
        Program::appendInvoice(1, "ROSSI", "10/01/2024", 100);
        Program::appendInvoice(2, "BIANCHI", "11/01/2024", 200);
        db().current().markDeleted();
        db().current().commit();
        closeWindows();
    }
    void closeWindows() {
        p.frame->closeAll();
        ASSERT_TRUE(p.frame->windows().empty());
    }
    bool shown(const std::string& file) { return APERTO(*p.frame, file); }
    // Sets the file's password as its window does: typed, then typed again.
    void setPassword(const std::string& file, const std::string& first, const std::string& again) {
        p.user.expectDialog("PASSWD2").type(101, first).press(201);
        p.user.expectDialog("PASSWD3").type(101, again).press(201);
        PASSWD2(file);
    }
};

TEST_F(FileCommands, NewFileWritesTableIndexAndSettingsAndOpensIt) {
    p.createInvoiceFile(at("fatture"));
    ASSERT_TRUE(shown(at("fatture")));
    EXPECT_EQ(p.user.children.size(), 1u);
    EXPECT_EQ(p.user.children[0]->caption, at("fatture"));
    EXPECT_TRUE(fs::exists(at("FATTURE.DBF")));
    EXPECT_TRUE(fs::exists(at("FATTURE.NTX")));
    EXPECT_EQ(fs::file_size(at("FATTURE.DBF")), 1859u);
    EXPECT_EQ(readFileBytes(at("fatture.CFG")),
              "[Vars]\r\nCFG_0001=CKOBA_Software_VARDO!\r\nCFG_9999=C\r\nCFG_ART1=L.F.\r\nCFG_INPS=N0\r\n"
              "CFG_IVA=N0\r\nCFG_RA=N0\r\n");
    EXPECT_EQ(readFileBytes(at("USER.USR")), "[Mru]\r\nMru1=" + at("fatture") + "\r\n");
    // The next file dialog opens in the folder of the file chosen.
    p.user.expectSaveFile("Nuovo", std::nullopt);
    NUOVO(*p.frame);
    EXPECT_EQ(p.user.fileDialogs.back().folder, p.folder.path());
    // Closing the window removes the index and keeps the table.
    closeWindows();
    EXPECT_FALSE(fs::exists(at("FATTURE.NTX")));
    EXPECT_TRUE(fs::exists(at("FATTURE.DBF")));
    p.user.finish();
}

TEST_F(FileCommands, NewFileRefusalsOfferTheDialogAgain) {
    p.createInvoiceFile(at("aperto"));
    struct Case {
        std::string chosen, message;
    } cases[] = {
        {at("fatture.dbf"), kOnly},
        {at("clienti"), "Impossibile sovrascrivere il file CLIENTI.DBF.;Indicare un nuovo nome."},
        {at("CLIENTI.DBF"), "Impossibile sovrascrivere il file CLIENTI.DBF.;Indicare un nuovo nome."},
        {at("aperto"), kInUseHere},
    };
    for (const auto& c : cases) {
        p.user.expectSaveFile("Nuovo", c.chosen).expectMessage(c.message).expectSaveFile("Nuovo", std::nullopt);
        NUOVO(*p.frame);
        p.user.finish();
    }
}

TEST_F(FileCommands, NewFileOverAnExistingOneAsksAndStartsEmpty) {
    makeClosedFile(at("vecchio"));
    // Cancel keeps the old file and asks for another name.
    p.user.expectSaveFile("Nuovo", at("vecchio"))
        .expectMessage("Sostituire il file esistente?", BTN_CANCEL)
        .expectSaveFile("Nuovo", std::nullopt);
    NUOVO(*p.frame);
    EXPECT_GT(fs::file_size(at("VECCHIO.DBF")), 1859u);

    p.user.expectSaveFile("Nuovo", at("vecchio")).expectMessage("Sostituire il file esistente?", BTN_OK);
    NUOVO(*p.frame);
    EXPECT_TRUE(shown(at("vecchio")));
    EXPECT_EQ(db().current().keyCount(), 0u);
    EXPECT_EQ(fs::file_size(at("VECCHIO.DBF")), 1859u);
    EXPECT_FALSE(HASPASSWD(at("vecchio")));
    p.user.finish();
}

TEST_F(FileCommands, NewFileHeldByAnotherInstanceIsRefused) {
    makeClosedFile(at("altrui"));
    OtherInstance other(at("ALTRUI.DBF"), os::File::Share::Shared);
    p.user.expectSaveFile("Nuovo", at("altrui"))
        .expectMessage("Sostituire il file esistente?", BTN_OK)
        .expectMessage(kInUseElsewhere)
        .expectSaveFile("Nuovo", std::nullopt);
    NUOVO(*p.frame);
    p.user.finish();
}

TEST_F(FileCommands, OpenPacksIndexesAndShowsTheLatestInvoice) {
    makeClosedFile(at("fatture"));
    p.user.expectOpenFile("Apri", at("FATTURE.DBF"));
    APRI(*p.frame);
    ASSERT_TRUE(shown(at("FATTURE")));
    WorkArea& t = db().current();
    EXPECT_EQ(t.recordCount(), 1u); // the deleted invoice is gone for good
    EXPECT_EQ(t.text("CLIENTE").substr(0, 5), "ROSSI");
    EXPECT_TRUE(fs::exists(at("FATTURE.NTX")));
    p.user.finish();
}

TEST_F(FileCommands, OpenRefusalsOfferTheDialogAgain) {
    makeClosedFile(at("fatture"));
    fs::create_directory(at("senza"));
    test::writeFileBytes(at("SENZA.DBF"), readFileBytes(at("FATTURE.DBF")));
    test::writeFileBytes(at("altro.DBF"), readFileBytes(at("FATTURE.DBF")));
    test::writeFileBytes(at("altro.CFG"), "[Vars]\r\nCFG_0001=CALTRO\r\n");
    struct Case {
        std::string chosen, message;
    } cases[] = {
        {at("fatture.dbf"), kOnly},
        {at("manca"), kMissing},
        {at("SENZA.DBF"), kMissing},
        {at("altro.DBF"), "Il file specificato non è di Vardo!."},
    };
    for (const auto& c : cases) {
        p.user.expectOpenFile("Apri", c.chosen).expectMessage(c.message).expectOpenFile("Apri", std::nullopt);
        APRI(*p.frame);
        p.user.finish();
    }
    EXPECT_TRUE(p.frame->windows().empty());
}

TEST_F(FileCommands, AFileIsShownOnceAndHeldAgainstOtherNames) {
    makeClosedFile(at("fatture"));
    p.user.expectOpenFile("Apri", at("fatture"));
    APRI(*p.frame);
    // The same path character for character: this instance shows it.
    p.user.expectOpenFile("Apri", at("fatture")).expectMessage(kInUseHere).expectOpenFile("Apri", std::nullopt);
    APRI(*p.frame);
    // Another letter case names the same table: held, as by another user.
    p.user.expectOpenFile("Apri", at("FATTURE")).expectMessage(kInUseElsewhere).expectOpenFile("Apri", std::nullopt);
    APRI(*p.frame);
    EXPECT_EQ(p.frame->windows().size(), 1u);
    p.user.finish();
}

TEST_F(FileCommands, ADotInAFolderNameIsNoExtension) {
    fs::create_directory(at("dati.2024"));
    p.createInvoiceFile(at("dati.2024/fatture"));
    closeWindows();
    p.user.expectOpenFile("Apri", at("dati.2024/FATTURE.DBF"));
    APRI(*p.frame);
    EXPECT_TRUE(shown(at("dati.2024/FATTURE")));
    p.user.finish();
}

TEST_F(FileCommands, PathsWithAccentsReachTheDiskAsTheSystemNamesThem) {
    fs::create_directory(fs::u8path(p.folder.path() + "/Contabilità"));
    const std::string file = at("Contabilit\xE0/fatture"); // Windows-1252 in the program
    p.createInvoiceFile(file);
    EXPECT_TRUE(fs::exists(fs::u8path(p.folder.path() + "/Contabilità/FATTURE.DBF")));
    EXPECT_TRUE(fs::exists(fs::u8path(p.folder.path() + "/Contabilità/fatture.CFG")));
    closeWindows();
    p.user.expectOpenFile("Apri", file + ".DBF");
    APRI(*p.frame);
    EXPECT_TRUE(shown(file));
    p.user.finish();
}

TEST_F(FileCommands, OpenAsksThePasswordUnlessTheRightOneWasGiven) {
    makeClosedFile(at("segreto"));
    setPassword(at("segreto"), "chiave", "CHIAVE");

    APRI(*p.frame, at("segreto"), "CHIAVE"); // the command-line password: no question
    EXPECT_TRUE(shown(at("segreto")));
    closeWindows();

    p.user.expectDialog("PASSWD").type(101, "chiave").press(201);
    APRI(*p.frame, at("segreto"), "chiave"); // not in capitals: asked
    EXPECT_TRUE(shown(at("segreto")));
    closeWindows();

    p.user.expectDialog("PASSWD").type(101, "sbagliata").press(201)
        .expectMessage("Password non corretta.")
        .expectOpenFile("Apri", std::nullopt);
    APRI(*p.frame, at("segreto"));
    EXPECT_FALSE(shown(at("segreto")));
    p.user.finish();
}

TEST_F(FileCommands, CopyMakesAByteForByteCopyWithItsPassword) {
    makeClosedFile(at("origine"));
    setPassword(at("origine"), "abc", "abc");
    p.user.expectDialog("COPIAFILE").type(101, at("origine")).type(103, at("copia.DBF")).press(201);
    COPIA(*p.frame);
    EXPECT_EQ(readFileBytes(at("COPIA.DBF")), readFileBytes(at("ORIGINE.DBF")));
    EXPECT_EQ(readFileBytes(at("copia.CFG")), readFileBytes(at("origine.CFG")));
    EXPECT_EQ(GETPASSWD(at("copia")), "ABC");
    EXPECT_EQ(p.user.waitLog, (std::vector<std::string>{"open Attendere: Copia in corso.", "close"}));
    EXPECT_TRUE(p.frame->windows().empty());
    p.user.finish();
}

TEST_F(FileCommands, CopyRefusalsKeepTheTexts) {
    makeClosedFile(at("origine"));
    p.createInvoiceFile(at("aperto"));
    struct Case {
        std::string source, target, message;
    } cases[] = {
        {"", at("x"), "Campo non valido."},
        {at("manca"), at("x"), "Il file da copiare non esiste o è incompleto."},
        {at("origine.dbf"), at("x"), kOnly},
        {at("origine"), at("a|b"), "Nome nuovo file non valido."},
        {at("origine"), at("aperto"), "Il nuovo file specificato è attualmente in uso.;Indicare un nuovo nome."},
    };
    for (const auto& c : cases) {
        p.user.expectDialog("COPIAFILE").type(101, c.source).type(103, c.target).press(201).expectMessage(c.message);
        if (c.message == "Campo non valido.")
            p.user.press(202);
        else
            p.user.expectDialog("COPIAFILE").press(202);
        COPIA(*p.frame);
        p.user.finish();
    }
    // After a refusal the dialog shows the paths absolute and without extension.
    p.user.expectDialog("COPIAFILE").type(101, "manca.DBF").type(103, "x").press(201)
        .expectMessage("Il file da copiare non esiste o è incompleto.")
        .expectDialog("COPIAFILE")
        .inspect([&](Dialog& d) {
            EXPECT_EQ(trimRight(asText(d.ITEM(101)->value)), at("manca"));
            EXPECT_EQ(trimRight(asText(d.ITEM(103)->value)), at("x"));
        })
        .press(202);
    COPIA(*p.frame);
    p.user.finish();
}

TEST_F(FileCommands, CopyOfATableHeldOpenFailsAndLeavesNoTarget) {
    makeClosedFile(at("origine"));
    OtherInstance other(at("ORIGINE.DBF"), os::File::Share::Exclusive);
    p.user.expectDialog("COPIAFILE").type(101, at("origine")).type(103, at("copia")).press(201)
        .expectMessage("Impossibile accedere al file " + upper(at("ORIGINE.DBF")) + ".")
        .expectDialog("COPIAFILE").press(202);
    COPIA(*p.frame);
    EXPECT_FALSE(fs::exists(at("COPIA.DBF")));
    EXPECT_FALSE(fs::exists(at("copia.CFG")));
    p.user.finish();
}

TEST_F(FileCommands, CopyOntoItselfLeavesTheFileIntact) {
    makeClosedFile(at("stesso"));
    const std::string before = readFileBytes(at("STESSO.DBF"));
    p.user.expectDialog("COPIAFILE").type(101, at("stesso")).type(103, at("STESSO.DBF")).press(201)
        .expectMessage("Sostituire il file esistente?", BTN_OK);
    COPIA(*p.frame);
    EXPECT_EQ(readFileBytes(at("STESSO.DBF")), before);
    EXPECT_FALSE(readFileBytes(at("stesso.CFG")).empty());
    p.user.finish();
}

TEST_F(FileCommands, DeleteAsksAndRefusesFilesInUse) {
    makeClosedFile(at("via"));
    p.createInvoiceFile(at("aperto"));
    p.user.expectDialog("ELIMINA").type(101, at("aperto")).press(201)
        .expectMessage("Impossibile cancellare il file;in quanto attualmente in uso.")
        .expectDialog("ELIMINA").type(101, at("APERTO")).press(201)
        .expectMessage("Confermi la cancellazione?", BTN_OK)
        .expectMessage("Impossibile cancellare il file;in quanto attualmente utilizzato;da un altro utente.")
        .expectDialog("ELIMINA").type(101, at("via")).press(201)
        .expectMessage("Confermi la cancellazione?", BTN_CANCEL)
        .expectDialog("ELIMINA").press(201)
        .expectMessage("Confermi la cancellazione?", BTN_OK);
    ELIMINA(*p.frame);
    EXPECT_FALSE(fs::exists(at("VIA.DBF")));
    EXPECT_FALSE(fs::exists(at("via.CFG")));
    EXPECT_TRUE(fs::exists(at("APERTO.DBF")));
    p.user.finish();
}

TEST_F(FileCommands, RecentFilesEntryOfADeletedFileOffersTheOpenDialog) {
    p.user.expectMessage(kMissing).expectOpenFile("Apri", std::nullopt);
    p.frame->commands.openPath(*p.frame, at("sparito"), "");
    p.user.finish();
}

} // namespace
} // namespace vardo
