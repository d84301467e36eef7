// Damaged tables are refused with the corrupt-file message, never read wrongly.

#include "common/error.h"
#include "common/format.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"
#include "store_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace vardo::test {
namespace {

class CorruptTable : public StoreTest {};

TEST_F(CorruptTable, EveryDamageGivesTheCorruptFileMessage) {
    DBGEN("GOOD", customerSchema());
    DBOPEN(true, "GOOD", "", false, false);
    DBAPP();
    db().current().put("RAGSOC", std::string("ROSSI"));
    DBAPP();
    DBCLOSE();
    const std::string good = readFileBytes(folder / "GOOD.DBF");
    const size_t firstDescriptor = 32, secondDescriptor = 64;

    struct Case {
        const char* damage;
        std::function<void(std::string&)> apply;
    };
    const Case cases[] = {
        {"shorter than a header", [](std::string& b) { b.resize(20); }},
        {"truncated in the records", [](std::string& b) { b.resize(b.size() - 100); }},
        {"more records counted than stored", [](std::string& b) { writeU32(b, 4, 3); }},
        {"header length beyond the file",
         [](std::string& b) { writeU16(b, 8, static_cast<unsigned>(b.size() + 1)); }},
        {"header length below one field", [](std::string& b) { writeU16(b, 8, 40); }},
        {"record length not the fields' sum", [](std::string& b) { writeU16(b, 10, 491); }},
        {"no fields", [&](std::string& b) { b[firstDescriptor] = 13; }},
        {"a field of no width", [&](std::string& b) { b[secondDescriptor + 16] = 0; }},
        {"a type that is no type", [&](std::string& b) { b[secondDescriptor + 11] = '?'; }},
        {"a field without a name", [&](std::string& b) { b[secondDescriptor] = 0; }},
    };
    const std::string path = folder / "BAD.DBF";
    for (const Case& c : cases) {
        std::string bytes = good;
        c.apply(bytes);
        writeFileBytes(path, bytes);
        user.expectMessage("Il file " + upper(path) + " risulta corrotto.");
        EXPECT_FALSE(guarded([&] { DBOPEN(true, path, "", false, false); })) << c.damage;
        EXPECT_FALSE(db().current().used()) << c.damage;
        EXPECT_EQ(readFileBytes(path), bytes) << "a damaged table is left as it is";
        user.finish();
    }
}

TEST_F(CorruptTable, OpenAndCreateFailuresGiveTheirMessages) {
    std::filesystem::create_directory(folder / "DIR.DBF");
    struct Case {
        std::function<void()> step;
        std::string message;
    };
    const Case cases[] = {
        {[&] { DBOPEN(true, folder / "missing", "", false, false); },
         "Impossibile aprire il file " + upper(folder / "MISSING.DBF") + "."},
        {[&] { DBOPEN(true, folder / "nofolder/T", "", false, false); },
         "Percorso " + upper(folder / "nofolder/T.DBF") + " non trovato."},
        {[&] { DBOPEN(true, folder / "dir", "", false, false); },
         "Impossibile accedere al file " + upper(folder / "DIR.DBF") + "."},
        {[&] { DBGEN(folder / "nofolder/T", netSchema()); }, "Disco non pronto."},
        {[&] { DBGEN(folder / "T", netSchema(), uint64_t(1) << 62); },
         "Spazio sul disco insufficiente."},
    };
    for (const Case& c : cases) {
        user.expectMessage(c.message);
        EXPECT_FALSE(guarded(c.step)) << c.message;
        user.finish();
    }
    EXPECT_FALSE(os::exists(folder / "T.DBF"));
}

// The fuzz target's seed corpus, run through the same entry point.
TEST_F(CorruptTable, TheFuzzCorpusIsReadOrRefused) {
    size_t seeds = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(VARDO_SOURCE_DIR "/tests/fuzz/corpus")) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.data()), data.size()), 0);
        ++seeds;
    }
    EXPECT_GT(seeds, 0u);
}

} // namespace
} // namespace vardo::test
