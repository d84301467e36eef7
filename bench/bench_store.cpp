// The table engine on invoice files of 1,000, 10,000 and 100,000 invoices:
// what opening an invoice file costs (exclusive open, pack, index), a full pass
// over every line field as the grid and reports read them, and a view build.

#include "cli/console.h"
#include "common/settings.h"
#include "common/ui.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/schemas.h"
#include "store/utilities.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using namespace vardo;
namespace fs = std::filesystem;

const char* const kInvoiceKey = "STR( YEAR( FIELD -> data ) ) + STR( FIELD -> numero )";

std::string folder() {
    static const std::string path = [] {
        std::string p =
            (fs::temp_directory_path() / ("vardo-bench-" + std::to_string(getpid()))).string();
        fs::create_directories(p);
        setUserInterface(new ConsoleUserInterface); // nobody looks at the wait boxes
        run().ACS_TEMP = p + "/";
        return p;
    }();
    return path;
}

// An invoice file of n invoices over ten years, three lines each; every
// hundredth one marked deleted when asked. Made once per size.
std::string invoiceFile(int n, bool withDeleted) {
    static std::map<std::pair<int, bool>, std::string> made;
    auto& path = made[{n, withDeleted}];
    if (!path.empty()) return path;
    path = folder() + "/F" + std::to_string(n) + (withDeleted ? "D" : "");
    DBGEN(path, invoiceSchema());
    DBOPEN(true, path, "MAKE", false, false);
    WorkArea& a = db().current();
    for (int i = 0; i < n; ++i) {
        DBAPP();
        a.put("NUMERO", static_cast<double>(i % 999 + 1));
        a.put("DATA", Date::ymd(2015 + i % 10, 1 + i % 12, 1 + i % 28));
        a.put("CLIENTE", "CLIENTE " + std::to_string(i % 500));
        a.put("SALDATO", std::string(i % 3 ? "\xFB" : " "));
        for (int line = 1; line <= 3; ++line) {
            char n2[3];
            std::snprintf(n2, sizeof n2, "%02d", line);
            a.put(std::string("QUANT") + n2, static_cast<double>(line));
            a.put(std::string("DESCR") + n2, std::string("Consulenza tecnica, riga ") + n2);
            a.put(std::string("IMPOR") + n2, 100.0 * line + i % 100);
        }
        if (withDeleted && i % 100 == 0) a.markDeleted();
    }
    DBCLOSE();
    return path;
}

void openPackIndex(const std::string& path) {
    DBOPEN(true, path, "", false, false);
    db().current().pack();
    db().current().setOrderCondition({"!DELETED()", [] { return !db().current().deleted(); }});
    ORDBUILD(path, "", kInvoiceKey);
    db().current().goBottom();
}

void BM_OpenPackIndex(benchmark::State& state) {
    const std::string path = invoiceFile(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        openPackIndex(path);
        DBCLOSE();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenPackIndex)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same when one invoice in a hundred was deleted since the last open, so
// that the pack really rewrites the file.
void BM_OpenPackIndexWithDeleted(benchmark::State& state) {
    const std::string master = invoiceFile(static_cast<int>(state.range(0)), true) + ".DBF";
    const std::string path = folder() + "/WORK";
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(master, path + ".DBF", fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        openPackIndex(path);
        DBCLOSE();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenPackIndexWithDeleted)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ReadEveryLineField(benchmark::State& state) {
    const std::string path = invoiceFile(static_cast<int>(state.range(0)), false);
    openPackIndex(path);
    WorkArea& a = db().current();
    std::vector<int> fields;
    for (int line = 1; line <= 10; ++line) {
        char n2[3];
        std::snprintf(n2, sizeof n2, "%02d", line);
        for (const char* prefix : {"QUANT", "DESCR", "IMPOR"})
            fields.push_back(a.fieldPos(std::string(prefix) + n2));
    }
    for (auto _ : state) {
        double total = 0;
        for (a.goTop(); !a.eof(); a.skip(1))
            for (int pos : fields) {
                Value v = a.get(pos);
                total += asNumber(v);
                benchmark::DoNotOptimize(v);
            }
        benchmark::DoNotOptimize(total);
    }
    DBCLOSE();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadEveryLineField)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The totals report's view: paid invoices grouped by customer name.
void BM_ViewBuild(benchmark::State& state) {
    const std::string path = invoiceFile(static_cast<int>(state.range(0)), false);
    openPackIndex(path);
    for (auto _ : state) {
        DBSETVIEW(
            [] {
                return db().current().number("NUMERO") > 0 && db().current().text("SALDATO") != " ";
            },
            "NUMERO > 0 .AND. !EMPTY(SALDATO)", "UPPER( FIELD -> cliente )");
        DBCLEARVIEW();
    }
    DBCLOSE();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ViewBuild)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CLOSEALL();
    fs::remove_all(folder());
    return 0;
}
