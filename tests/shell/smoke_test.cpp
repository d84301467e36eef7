// The real program on a real X display: started on an invoice file as a
// person starts it, photographed once its window is open, then stopped.

#include "shell/fixtures.h"
#include "shell/processes.h"
#include "support/work_folder.h"

#include <QImage>
#include <QSet>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace vardo {
namespace {

namespace fs = std::filesystem;

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    return int(colours.size());
}

TEST(Smoke, TheProgramOpensItsWindowOnARealDisplay) {
    test::WorkFolder folder; // the program's working folder, TEMP inside it
    const std::string file = folder / "fatture";
    test::writeInvoiceFile(file, test::sampleInvoices());
    test::VirtualDisplay display;
    const std::vector<std::string> onDisplay = {display.environment(), "QT_QPA_PLATFORM=xcb"};

    test::ChildProcess program({VARDO_PROGRAM, file}, folder.path(), onDisplay);
    // The index exists once the file is open and its window is being shown.
    ASSERT_TRUE(test::waitForFile(folder.path(), "FATTURE.NTX", 20000))
        << "the program never opened the file";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // first paint
    ASSERT_TRUE(program.running()) << "the program ended by itself";

    const std::string shot = VARDO_BINARY_DIR "/vardo-smoke.png";
    fs::remove(shot);
    test::ChildProcess grabber({VARDO_GRABBER, shot}, folder.path(), onDisplay);
    std::optional<int> grabbed = grabber.wait(10000);
    ASSERT_TRUE(grabbed && WIFEXITED(*grabbed) && WEXITSTATUS(*grabbed) == 0)
        << "the screen could not be photographed";
    QImage image(QString::fromStdString(shot));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1280, 1024));
    // An empty X screen is one colour; menus, toolbars, icons and the grid's
    // text bring many.
    EXPECT_GT(distinctColours(image), 100);

    EXPECT_TRUE(program.running()) << "the program ended while on screen";
    program.stop();
}

} // namespace
} // namespace vardo
