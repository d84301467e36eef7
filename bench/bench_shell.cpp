// The program as a person meets it: the real binary starting up until it shows
// an invoice file, opening a file of 10,000 invoices until its grid is painted,
// and paging through that grid from top to bottom. Everything runs on the
// offscreen platform unless noted; the start-up is also measured on a real X
// server (Xvfb).

#include "app/frame.h"
#include "app/invoice_window.h"
#include "app/startup.h"
#include "archive/files.h"
#include "commands.h"
#include "common/settings.h"
#include "shell/fixtures.h"
#include "shell/processes.h"
#include "store/utilities.h"
#include "ui/child_window.h"
#include "ui/frame_window.h"
#include "ui/grid_view.h"
#include "ui/qt_user_interface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace vardo;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kCustomers = 1000, kInvoices = 10000;

struct Session {
    std::string folder;  // the in-process program's working folder
    std::string big;     // the invoice file of 10,000 invoices
    std::string startUp; // the real binary's working folder
    QtUserInterface* port = nullptr;
    MainFrame* frame = nullptr;
};
Session session;

// Sees the first paint of any invoice grid's rows.
class GridPaintWatch : public QObject {
public:
    GridPaintWatch() { qApp->installEventFilter(this); }
    ~GridPaintWatch() override { qApp->removeEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            if (auto* grid = dynamic_cast<GridView*>(watched->parent()))
                if (grid->viewport() == watched) painted = true;
        return false;
    }
};

// Processes events until the condition holds; false after ten seconds.
bool processUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 10000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Opens the big file through the open command and the Qt port; returns its
// grid once painted with every invoice (nullptr when it never was).
GridView* openBigFile() {
    GridPaintWatch watch;
    APRI(*session.frame, session.big);
    if (!processUntil([&] { return watch.painted; })) return nullptr;
    FrameWindow* frame = session.port->frame();
    if (frame->children().empty()) return nullptr;
    GridView* grid = frame->children().back()->grid();
    return grid && grid->model()->rowCount() == kInvoices ? grid : nullptr;
}

void closeWindows() {
    session.frame->closeAll();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The real program, started in a folder with CLIENTI.DBF of 1,000 customers
// and a few invoices named on its command line, until the file's index
// appears: by then the frame has been shown, the customer archive checked and
// the file opened and indexed; its window follows within the same call.
void BM_StartUpToTheOpenFile(benchmark::State& state) {
    static std::unique_ptr<test::VirtualDisplay> display;
    std::vector<std::string> environment = {"TEMP=" + session.startUp + "/temp"};
    if (state.range(0) == 1) {
        if (!display) display = std::make_unique<test::VirtualDisplay>();
        environment.insert(environment.end(), {display->environment(), "QT_QPA_PLATFORM=xcb"});
    } else {
        environment.push_back("QT_QPA_PLATFORM=offscreen");
    }
    const std::vector<std::string> command = {VARDO_PROGRAM, session.startUp + "/fatture"};
    struct Run {
        std::unique_ptr<test::ChildProcess> program;
        bool open;
    };
    auto start = [&] {
        auto program = std::make_unique<test::ChildProcess>(command, session.startUp, environment);
        bool open = test::waitForFile(session.startUp, "FATTURE.NTX", 10000);
        return Run{std::move(program), open};
    };
    // A killed run leaves its index and instance folder behind; the next start
    // would clean them up inside the timing.
    auto stop = [&](Run& run) {
        run.program->stop();
        fs::remove(session.startUp + "/FATTURE.NTX");
        for (const auto& entry : fs::directory_iterator(session.startUp + "/temp"))
            fs::remove_all(entry.path());
    };
    // The first start writes the global files; every later one finds them.
    Run first = start();
    stop(first);
    if (!first.open) {
        state.SkipWithError("the program never opened the file");
        return;
    }
    for (auto _ : state) {
        Run run = start();
        state.PauseTiming();
        stop(run);
        state.ResumeTiming();
        if (!run.open) {
            state.SkipWithError("the program never opened the file");
            break;
        }
    }
}
BENCHMARK(BM_StartUpToTheOpenFile)
    ->ArgName("xcb")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The open command on 10,000 invoices (exclusive open, pack, index, window,
// recent files) until the rows of its grid have painted.
void BM_OpenUntilTheGridPainted(benchmark::State& state) {
    for (auto _ : state) {
        if (!openBigFile()) state.SkipWithError("the grid never painted");
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenUntilTheGridPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

void press(GridView& grid, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &up);
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// From the first invoice to the last with Page Down, each page painted at
// once as the key is handled: the time per page and the slowest page.
void BM_PageThroughTheGrid(benchmark::State& state) {
    GridView* grid = openBigFile();
    if (!grid) {
        state.SkipWithError("the grid never painted");
        return;
    }
    grid->setFocus();
    const int last = grid->model()->rowCount() - 1;
    long pages = 0;
    double total = 0, worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        press(*grid, Qt::Key_Home);
        grid->viewport()->repaint();
        state.ResumeTiming();
        while (grid->currentIndex().row() < last) {
            auto start = Clock::now();
            press(*grid, Qt::Key_PageDown);
            grid->viewport()->repaint();
            double page = millisecondsSince(start);
            total += page;
            worst = std::max(worst, page);
            ++pages;
        }
    }
    state.counters["pages"] = benchmark::Counter(double(pages), benchmark::Counter::kAvgIterations);
    state.counters["page_ms"] = pages ? total / double(pages) : 0;
    state.counters["worst_page_ms"] = worst;
    closeWindows();
}
BENCHMARK(BM_PageThroughTheGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the first invoice straight to the last (End), painted.
void BM_JumpToTheLastInvoice(benchmark::State& state) {
    GridView* grid = openBigFile();
    if (!grid) {
        state.SkipWithError("the grid never painted");
        return;
    }
    grid->setFocus();
    for (auto _ : state) {
        state.PauseTiming();
        press(*grid, Qt::Key_Home);
        grid->viewport()->repaint();
        state.ResumeTiming();
        press(*grid, Qt::Key_End);
        grid->viewport()->repaint();
    }
    closeWindows();
}
BENCHMARK(BM_JumpToTheLastInvoice)->Unit(benchmark::kMillisecond)->UseRealTime();

void makeFixtures() {
    std::string pattern = (fs::temp_directory_path() / "vardo-bench-shell-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    session.folder = pattern;
    session.big = session.folder + "/F10000";
    session.startUp = session.folder + "/avvio";
    fs::create_directories(session.folder + "/temp");
    fs::create_directories(session.startUp + "/temp");
    fs::current_path(session.folder);
    setenv("TEMP", (session.folder + "/temp").c_str(), 1);
    test::writeInvoiceFile(session.big, test::manyInvoices(kInvoices));
    test::writeInvoiceFile(session.startUp + "/fatture", test::sampleInvoices());
    test::writeCustomerArchive(session.startUp + "/CLIENTI", kCustomers);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QtUserInterface port;
    session.port = &port;
    makeFixtures();
    // The program's own start-up, so that the open command finds what it needs.
    INIT$();
    MKCFG();
    {
        SettingsScope base;
        base.load(kGlobalSettings);
        USER();
        MainFrame frame(programCommands());
        session.frame = &frame;
        frame.window.onFirstShow = [&] {
            benchmark::RunSpecifiedBenchmarks();
            frame.window.view->close();
        };
        port.runFrame(frame.window);
        session.frame = nullptr;
    }
    EXIT$();
    benchmark::Shutdown();
    fs::current_path("/");
    fs::remove_all(session.folder);
    return 0;
}
