#include "ui/frame_window.h"

#include "ui/child_window.h"
#include "ui/message_bar.h"
#include "ui/program_call.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>
#include <algorithm>

namespace vardo {

FrameWindow::FrameWindow(Window& model) : model_(&model) {
    setWindowTitle(toQt(model.caption));
    setWindowIcon(iconOf(model.icon));
    menuBar()->setNativeMenuBar(false);
    auto run = [this](std::function<void()> command) { runCommand(std::move(command)); };
    menus_ = std::make_unique<WindowMenus>(model.menus, this, run,
                                           [this](const QString& p) { showPrompt(p); });
    if (!model.toolbar.empty()) {
        auto* bar = addToolBar(QString());
        toolbar_ = std::make_unique<WindowToolBar>(model.toolbar, bar, run);
    }
    area_ = new QMdiArea(this);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    bar_ = new MessageBar(this);
    setStatusBar(bar_);
    connect(area_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { activated(window); });
    fillMenuBar();
    model.view = &view_;
}

FrameWindow::~FrameWindow() {
    area_->disconnect(this);
    // The children go first, while the frame they report to still exists.
    for (ChildWindow* child : std::vector<ChildWindow*>(children_)) delete child;
    if (model_ && model_->view == &view_) model_->view = nullptr;
}

void FrameWindow::openChild(Window& model) {
    auto* child = new ChildWindow(model, *this);
    children_.push_back(child);
    area_->addSubWindow(child);
    // Each new window one step further down the cascade, never outside the
    // area on the left or the top (Qt's own placement can push a window that
    // does not fit out to the left, hiding its first columns).
    const int step = 24 * static_cast<int>((children_.size() - 1) % 8);
    const QRect space = area_->viewport()->rect();
    child->move(std::max(0, std::min(step, space.width() - child->width())),
                std::max(0, std::min(step, space.height() - child->height())));
    child->show();
    area_->setActiveSubWindow(child);
    if (model.onFirstShow) callProgram(model.onFirstShow);
    syncMenus(); // what it did when it appeared (its recent files)
}

void FrameWindow::activated(QMdiSubWindow* window) {
    auto* child = dynamic_cast<ChildWindow*>(window);
    // Nothing active means that another top-level window (a dialog) has the
    // focus: the bar keeps the menus of the child that had it.
    if (!child || !child->model()) return;
    if (child != active_) {
        active_ = child;
        fillMenuBar();
    }
    if (child->model()->onFocus) callProgram(child->model()->onFocus);
}

void FrameWindow::fillMenuBar() {
    if (active_ && active_->hasMenus())
        active_->menus().fill(menuBar());
    else
        menus_->fill(menuBar());
}

void FrameWindow::childClosed(ChildWindow* child) {
    std::erase(children_, child);
    if (active_ == child) {
        active_ = nullptr;
        fillMenuBar();
    }
}

void FrameWindow::runCommand(std::function<void()> command) {
    QMetaObject::invokeMethod(
        this,
        [this, command = std::move(command)] {
            callProgram(command);
            syncMenus();
        },
        Qt::QueuedConnection);
}

void FrameWindow::showPrompt(const QString& prompt) {
    bar_->showPrompt(prompt);
}

void FrameWindow::syncMenus() {
    bool refill = menus_->update() && !(active_ && active_->hasMenus());
    for (ChildWindow* child : children_)
        if (child->model() && child->menus().update() && child == active_) refill = true;
    if (toolbar_) toolbar_->update();
    if (refill) fillMenuBar();
}

bool FrameWindow::closeChildren() {
    std::vector<QPointer<ChildWindow>> open(children_.begin(), children_.end());
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (*it && (*it)->model() && !(*it)->close()) return false;
    return true;
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    bool checked = std::exchange(checked_, false);
    if (!closeChildren()) {
        event->ignore();
        return;
    }
    if (!checked && model_ && model_->canClose) {
        bool mayClose = false;
        callProgram([&] { mayClose = model_->canClose(); });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    closed_ = true;
    if (model_ && model_->view == &view_) model_->view = nullptr;
    model_ = nullptr;
    event->accept();
    if (onClosed_) onClosed_();
}

void FrameWindow::View::refresh() {
    frame_.syncMenus();
    for (ChildWindow* child : frame_.children_) child->refresh();
}

void FrameWindow::View::close() {
    frame_.checked_ = true;
    frame_.close();
}

void FrameWindow::arrange(Arrange how) {
    switch (how) {
    case Arrange::Cascade:
        area_->cascadeSubWindows();
        break;
    case Arrange::TileVertical:
        tile(true);
        break;
    case Arrange::TileHorizontal:
        tile(false);
        break;
    case Arrange::MinimiseAll:
        for (ChildWindow* child : children_) child->showMinimized();
        break;
    case Arrange::ArrangeIcons:
        arrangeIcons();
        break;
    }
}

void FrameWindow::tile(bool sideBySide) {
    std::vector<ChildWindow*> open;
    for (ChildWindow* child : children_)
        if (!child->isMinimized()) open.push_back(child);
    if (open.empty()) return;
    const QRect space = area_->viewport()->rect();
    const int n = static_cast<int>(open.size());
    for (int i = 0; i < n; ++i) {
        QRect place;
        if (sideBySide) {
            int left = space.width() * i / n, right = space.width() * (i + 1) / n;
            place = QRect(left, 0, right - left, space.height());
        } else {
            int top = space.height() * i / n, bottom = space.height() * (i + 1) / n;
            place = QRect(0, top, space.width(), bottom - top);
        }
        open[i]->showNormal();
        open[i]->setGeometry(place);
    }
}

void FrameWindow::arrangeIcons() {
    const QRect space = area_->viewport()->rect();
    int left = 0;
    for (ChildWindow* child : children_) {
        if (!child->isMinimized()) continue;
        child->move(left, space.height() - child->height());
        left += child->width();
    }
}

} // namespace vardo
