#include "ui/window_menus.h"

#include "ui/qt_text.h"
#include "ui/resources.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <cctype>

namespace vardo {

namespace {

constexpr int kButtonEdge = 60, kBitmapEdge = 32;

QString itemText(const MenuItem& item) {
    QString text = toQt(item.text);
    if (!item.hint.empty()) text += '\t' + toQt(item.hint);
    return text;
}

// A menu that is no longer shown goes once Qt is done with it (one of its
// actions may be on the stack); it must not call back meanwhile.
void retire(QMenu* menu) {
    if (!menu) return;
    for (QAction* action : menu->actions()) QObject::disconnect(action, nullptr, menu, nullptr);
    QObject::disconnect(menu, nullptr, menu, nullptr);
    menu->deleteLater();
}

} // namespace

WindowMenus::WindowMenus(std::vector<Menu>& menus, QWidget* owner, CommandRunner run,
                         PromptSink prompt)
    : model_(menus), owner_(owner), run_(std::move(run)), prompt_(std::move(prompt)) {
    rebuildAll();
}

WindowMenus::~WindowMenus() {
    for (auto& menu : menus_) retire(menu);
}

void WindowMenus::rebuildAll() {
    for (auto& menu : menus_) retire(menu);
    menus_.clear();
    versions_.clear();
    for (size_t i = 0; i < model_.size(); ++i) {
        auto* menu = new QMenu(owner_);
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { update(); });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] { prompt_({}); });
        menus_.emplace_back(menu);
        versions_.push_back(0);
        build(i);
    }
}

void WindowMenus::build(size_t index) {
    QMenu* menu = menus_[index];
    const Menu& model = model_[index];
    menu->clear();
    menu->setTitle(toQt(model.title));
    for (size_t j = 0; j < model.items.size(); ++j) {
        const MenuItem& item = model.items[j];
        if (item.separator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(itemText(item));
        action->setEnabled(item.available());
        if (item.accelerator) {
            auto letter = std::toupper(static_cast<unsigned char>(item.accelerator));
            action->setShortcut(QKeySequence(Qt::ALT | Qt::Key(letter)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        QString prompt = toQt(item.prompt);
        QObject::connect(action, &QAction::hovered, menu, [this, prompt] { prompt_(prompt); });
        QObject::connect(action, &QAction::triggered, menu, [this, index, j] { choose(index, j); });
    }
    versions_[index] = model.version;
}

void WindowMenus::choose(size_t menu, size_t item) {
    if (menu >= model_.size() || item >= model_[menu].items.size()) return;
    // A copy: the command may rewrite the very menu it came from.
    std::function<void()> action = model_[menu].items[item].action;
    if (action) run_(std::move(action));
}

bool WindowMenus::update() {
    if (model_.size() != menus_.size()) {
        rebuildAll();
        return true;
    }
    for (size_t i = 0; i < model_.size(); ++i) {
        if (!menus_[i]) continue;
        if (model_[i].version != versions_[i]) {
            build(i);
            continue;
        }
        // Same items: only their enabling may have moved.
        const auto actions = menus_[i]->actions();
        for (size_t j = 0; j < model_[i].items.size() && j < size_t(actions.size()); ++j)
            if (!model_[i].items[j].separator()) actions[j]->setEnabled(model_[i].items[j].available());
    }
    return false;
}

void WindowMenus::fill(QMenuBar* bar) const {
    bar->clear();
    for (const auto& menu : menus_)
        if (menu) bar->addMenu(menu);
}

WindowToolBar::WindowToolBar(std::vector<ToolButton>& buttons, QToolBar* bar, CommandRunner run)
    : model_(buttons) {
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(kBitmapEdge, kBitmapEdge));
    for (size_t i = 0; i < model_.size(); ++i) {
        if (model_[i].newGroup && i > 0) bar->addSeparator();
        auto* button = new QToolButton(bar);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(kButtonEdge, kButtonEdge);
        button->setIconSize(QSize(kBitmapEdge, kBitmapEdge));
        button->setIcon(iconOf(model_[i].bitmap));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QToolButton::clicked, button, [this, i, run] {
            if (i >= model_.size()) return;
            std::function<void()> action = model_[i].action;
            if (action) run(std::move(action));
        });
        bar->addWidget(button);
        buttons_.push_back(button);
    }
    update();
}

void WindowToolBar::update() {
    for (size_t i = 0; i < buttons_.size() && i < model_.size(); ++i) {
        buttons_[i]->setText(toQt(model_[i].label));
        buttons_[i]->setToolTip(toQt(model_[i].tooltip));
        buttons_[i]->setEnabled(model_[i].available());
    }
}

} // namespace vardo
