#include "ui_helpers.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace vardo::test {

namespace {

// One application for the whole test program, made when the tests start (not
// when they are only listed).
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplication);

} // namespace

void whenModal(std::function<void(QWidget*)> step) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, before, clock, step] {
        QWidget* shown = QApplication::activeModalWidget();
        if (shown && shown != before && shown->isVisible()) {
            timer->stop();
            timer->deleteLater();
            step(shown);
        } else if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window opened";
        }
    });
    timer->start(10);
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace vardo::test
