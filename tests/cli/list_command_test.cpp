#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

#include "common/settings.h"
#include "invoice/amounts.h"
#include "store/engine.h"
#include "store/password.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "support/other_instance.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code;
    std::string out, err;
};

// Runs the real tool, as a script would.
Result runCli(const std::string& arguments) {
    const std::string errFile = fs::temp_directory_path() / ("vardo-cli-err-" + std::to_string(getpid()));
    std::string command = std::string(VARDO_BINARY_DIR) + "/src/vardo-cli " + arguments + " 2>" + errFile;
    Result r;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
    int status = pclose(pipe);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = test::readFileBytes(errFile);
    fs::remove(errFile);
    return r;
}

class ListCommand : public ::testing::Test {
protected:
    // An invoice file written as the program writes it.
    void SetUp() override {
        DBGEN(file(), invoiceSchema());
        DBOPEN(true, file(), "FATT", false, false);
        add(1, "Verdi & C.", Date::ymd(2023, 12, 30), 1000, true, true);
        add(0, "Rossi", Date::ymd(2024, 2, 1), 123.45, false, false);
        add(7, "Bianchi", Date::ymd(2024, 1, 5), 0, false, false);
        add(2, "Cancellata", Date::ymd(2024, 1, 6), 10, false, false);
        db().current().markDeleted();
        CLOSEALL();
        SettingsScope s;
        s.set("CFG_0001", std::string("KOBA_Software_VARDO!"));
        s.set("CFG_9999", std::string());
        SAVEINI("CFG_*", file() + ".CFG");
    }
    void add(double number, const std::string& customer, Date date, double amount, bool paid, bool xml) {
        WorkArea& t = db().current();
        t.append();
        t.put("NUMERO", number);
        t.put("CLIENTE", customer);
        t.put("DATA", date);
        t.put("IMPOR01", amount);
        t.put("ALIQINPS", 4.0);
        t.put("ALIQIVA", 22.0);
        t.put("ALIQRA", 20.0);
        t.put("RITACC", std::string(1, kPaidMarker));
        t.put("PIVA", std::string("01234567897"));
        if (paid) {
            t.put("SALDATO", std::string(1, kPaidMarker));
            t.put("DATAPAG2", Date::ymd(2024, 1, 31));
        }
        t.put("XML", xml);
        t.commit();
    }
    std::string file() const { return folder / "fatture"; }

    test::WorkFolder folder;
    test::ScriptedUser user;
};

std::string pad(const std::string& s, size_t width) { return std::string(width - s.size(), ' ') + s; }

TEST_F(ListCommand, PrintsTheGridInIndexOrderAndWritesNothing) {
    auto before = std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator());
    Result r = runCli("elenco '" + file() + "'");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string blank8(8, ' '), none(17, ' ');
    const std::string expected =
        "1\tVerdi & C.                         \t30/12/2023\t" + pad("1.000,00", 17) + "\t" + pad("40,00", 17) +
        "\t" + pad("1.040,00", 17) + "\t" + pad("228,80", 17) + "\t" + pad("208,00", 17) + "\t" +
        pad("1.060,80", 17) + "\tx\t" + blank8 + "   31/01/2024\tx\n" +
        "P\tRossi                              \t01/02/2024\t" + pad("123,45", 17) + "\t" + pad("4,94", 17) +
        "\t" + pad("128,39", 17) + "\t" + pad("28,25", 17) + "\t" + pad("25,68", 17) + "\t" +
        pad("130,96", 17) + "\t \t" + blank8 + "   " + blank8 + "\t \n" +
        // Number 0 ("P") sorts before 7 in its year.
        "7\tBianchi                            \t05/01/2024\t" + none + "\t" + none + "\t" + none + "\t" + none +
        "\t" + none + "\t" + none + "\t \t" + blank8 + "   " + blank8 + "\t \n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), before);
}

TEST_F(ListCommand, RefusesWhatAnOpenRefuses) {
    test::writeFileBytes(folder / "altro.DBF", test::readFileBytes(folder / "FATTURE.DBF"));
    test::writeFileBytes(folder / "altro.CFG", "[Vars]\r\nCFG_0001=CALTRO\r\n");
    struct Case {
        std::string arguments, message;
    } cases[] = {
        {"'" + file() + ".dbf'", "Sono ammessi solo file con estensione DBF.\n"},
        {"'" + folder / "manca" + "'", "Il file specificato non esiste o è incompleto.\n"},
        {"'" + folder / "altro" + "'", "Il file specificato non è di Vardo!.\n"},
    };
    for (const auto& c : cases) {
        Result r = runCli("elenco " + c.arguments);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.message);
    }
}

TEST_F(ListCommand, APasswordMustBeGivenInCapitals) {
    SettingsScope s;
    s.load(file() + ".CFG");
    s.set("CFG_9999", CRYPT("CHIAVE    "));
    SAVEINI("CFG_*", file() + ".CFG");
    for (const char* wrong : {"", "chiave", "ALTRA"}) {
        Result r = runCli("elenco '" + file() + "' " + wrong);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Password non corretta.\n");
    }
    EXPECT_EQ(runCli("elenco '" + file() + "' CHIAVE").code, 0);
}

TEST_F(ListCommand, AFileHeldByAnInstanceIsReportedAtOnce) {
    test::OtherInstance holder(folder / "FATTURE.DBF", os::File::Share::Exclusive);
    Result r = runCli("elenco '" + file() + ".DBF'");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Il file specificato è\nattualmente utilizzato\nda un altro utente.\n");
}

TEST_F(ListCommand, ExplainsItselfInItalian) {
    Result help = runCli("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Uso: vardo-cli elenco FILE [PASSWORD]"), std::string::npos);
    Result wrong = runCli("elenca x");
    EXPECT_NE(wrong.code, 0);
    EXPECT_NE(wrong.err.find("Uso: vardo-cli"), std::string::npos);
}

} // namespace
} // namespace vardo
