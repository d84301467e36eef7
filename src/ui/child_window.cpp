#include "ui/child_window.h"

#include "ui/frame_window.h"
#include "ui/grid_view.h"
#include "ui/program_call.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QToolBar>
#include <QVBoxLayout>

namespace vardo {

namespace {
constexpr int kDefaultWidth = 640, kDefaultHeight = 480;
}

ChildWindow::ChildWindow(Window& model, FrameWindow& frame) : model_(&model), frame_(frame) {
    setWindowTitle(toQt(model.caption));
    setWindowIcon(iconOf(model.icon));
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    auto run = [&frame](std::function<void()> command) { frame.runCommand(std::move(command)); };
    menus_ = std::make_unique<WindowMenus>(model.menus, &frame, run,
                                           [&frame](const QString& p) { frame.showPrompt(p); });

    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    if (!model.toolbar.empty()) {
        auto* bar = new QToolBar(content);
        toolbar_ = std::make_unique<WindowToolBar>(model.toolbar, bar, run);
        column->addWidget(bar);
    }
    if (model.grid) {
        grid_ = new GridView(*model.grid, content);
        column->addWidget(grid_, 1);
    } else {
        column->addStretch(1);
    }
    setWidget(content);
    if (grid_) setFocusProxy(grid_);
    resize(model.width > 0 ? model.width : kDefaultWidth,
           model.height > 0 ? model.height : kDefaultHeight);
    model.view = &view_;
}

ChildWindow::~ChildWindow() {
    detach();
}

void ChildWindow::detach() {
    if (!model_) return;
    if (model_->view == &view_) model_->view = nullptr;
    model_ = nullptr;
    frame_.childClosed(this);
}

void ChildWindow::refresh() {
    if (!model_) return;
    if (grid_) grid_->refresh();
    if (toolbar_) toolbar_->update();
    frame_.syncMenus();
}

void ChildWindow::closeByProgram() {
    checked_ = true;
    close();
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (model_ && !checked_ && model_->canClose) {
        bool mayClose = false;
        callProgram([&] { mayClose = model_->canClose(); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    checked_ = false;
    detach();
    QMdiSubWindow::closeEvent(event);
}

void ChildWindow::View::activate() {
    if (QMdiArea* area = window_.mdiArea()) area->setActiveSubWindow(&window_);
}

} // namespace vardo
