#include "ui/dialog_window.h"

#include "ui/grid_view.h"
#include "ui/program_call.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vardo {

namespace {

constexpr int kWidestField = 60; // characters; longer fields scroll
constexpr int kFirstDialogButton = 200;

bool isButton(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::BitmapButton;
}

// Controls with a label column at their left.
bool hasLabelColumn(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
           kind == ControlKind::DropDown || kind == ControlKind::Radio;
}

// Controls that take the whole width of their row.
bool spansRow(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::MultiLine ||
           kind == ControlKind::Browse || kind == ControlKind::Image;
}

QString shownText(const std::string& cp1252) {
    QString text = toQt(cp1252);
    text.replace("\r\n", "\n");
    return text;
}

// An entry field: every key goes to the dialog model, whose picture decides
// what it types; the field then shows the model's text and cursor.
class PictureEdit : public QLineEdit {
public:
    PictureEdit(DialogWindow& window, int index)
        : QLineEdit(&window), window_(window), index_(index) {
        setContextMenuPolicy(Qt::NoContextMenu);
        setDragEnabled(false);
        setAcceptDrops(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        Dialog& d = window_.dialog();
        if (event->matches(QKeySequence::Paste)) {
            type(QApplication::clipboard()->text());
            return;
        }
        if (event->matches(QKeySequence::SelectAll)) {
            window_.act([&] { d.selectAll(); });
            window_.showControl(index_);
            return;
        }
        if (event->matches(QKeySequence::Copy)) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        std::optional<Picture::Key> key;
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->ignore(); // the dialog's default button, or its closing
            return;
        case Qt::Key_Up:
            focusPreviousChild();
            return;
        case Qt::Key_Down:
            focusNextChild();
            return;
        case Qt::Key_Backspace:
            key = Picture::Key::Backspace;
            break;
        case Qt::Key_Delete:
            key = Picture::Key::Delete;
            break;
        case Qt::Key_Left:
            key = Picture::Key::Left;
            break;
        case Qt::Key_Right:
            key = Picture::Key::Right;
            break;
        case Qt::Key_Home:
            key = Picture::Key::Home;
            break;
        case Qt::Key_End:
            key = Picture::Key::End;
            break;
        case Qt::Key_Insert:
            key = Picture::Key::ToggleInsert;
            break;
        default:
            break;
        }
        if (key) {
            window_.act([&] { d.pressKey(*key); });
            window_.showControl(index_);
            return;
        }
        if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier) ||
            event->text().isEmpty()) {
            event->ignore();
            return;
        }
        type(event->text());
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        if (!event->commitString().isEmpty()) type(event->commitString());
        event->accept();
    }

    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        window_.focused(index_);
        window_.showControl(index_); // over Qt's own selection on entry
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        QLineEdit::mouseReleaseEvent(event);
        int at = cursorPosition();
        setCursorPosition(at); // the model knows no partial selection
        window_.act([&] { window_.dialog().setCursor(at); });
    }

    void mouseDoubleClickEvent(QMouseEvent*) override {
        window_.act([&] { window_.dialog().selectAll(); });
        window_.showControl(index_);
    }

private:
    void type(const QString& text) {
        Dialog& d = window_.dialog();
        for (char c : fromQt(text))
            if (static_cast<unsigned char>(c) >= 32 && c != 127)
                window_.act([&] { d.typeChar(c); });
        window_.showControl(index_);
    }

    DialogWindow& window_;
    int index_;
};

int fieldWidth(const QFontMetrics& fm, const Picture& picture, bool hidden) {
    int chars = std::clamp(picture.maxLength(), 2, kWidestField);
    int unit = picture.type() == 'C' ? fm.horizontalAdvance('X') : fm.horizontalAdvance('0');
    if (hidden) unit = std::max(unit, fm.horizontalAdvance(QChar(0x25CF))); // the echo bullet
    return chars * unit + 14;
}

} // namespace

DialogWindow::DialogWindow(Dialog& dialog, QWidget* owner) : QDialog(owner), dialog_(dialog) {
    setModal(true);
    setWindowTitle(toQt(dialog.caption));
    build();
    redLine_ = new QWidget(this);
    redLine_->setObjectName("invalidMark");
    redLine_->setAutoFillBackground(true);
    QPalette red = redLine_->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    redLine_->setPalette(red);
    redLine_->hide();
}

DialogWindow::~DialogWindow() = default;

QWidget* DialogWindow::widgetOf(int index) const {
    return index >= 0 && index < static_cast<int>(shown_.size()) ? shown_[index].widget : nullptr;
}

void DialogWindow::act(const std::function<void()>& step) {
    callProgram(step);
}

void DialogWindow::build() {
    auto& controls = dialog_.controls();
    shown_.resize(controls.size());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bool stretches = false;

    auto newSection = [&](QWidget* box) {
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(6);
        if (!box) outer->addLayout(grid);
        return Section{grid};
    };
    Section section = newSection(nullptr);
    QHBoxLayout* besideField = nullptr; // the row of the field placed last
    QLabel* pendingLabel = nullptr;

    for (size_t n = 0; n < controls.size(); ++n) {
        const int i = static_cast<int>(n);
        const Control& c = controls[n];
        QWidget* w = createWidget(i);
        if (c.kind == ControlKind::MultiLine || c.kind == ControlKind::Browse) stretches = true;
        if (isButton(c.kind) && c.id >= kFirstDialogButton) {
            buttons->addWidget(w);
            besideField = nullptr;
            continue;
        }
        if (c.kind == ControlKind::GroupBox) {
            outer->addWidget(w);
            section = newSection(w);
            besideField = nullptr;
            continue;
        }
        if (isButton(c.kind) && besideField && c.row < 0) {
            besideField->insertWidget(besideField->count() - 1, w);
            continue;
        }
        // A label right before a field without its own label is that field's label.
        if (c.kind == ControlKind::Label && c.row < 0 && n + 1 < controls.size()) {
            const Control& next = controls[n + 1];
            if (hasLabelColumn(next.kind) && next.label.empty() && next.row < 0) {
                pendingLabel = static_cast<QLabel*>(w);
                continue;
            }
        }
        place(i, section, std::exchange(pendingLabel, nullptr), besideField);
    }
    if (buttons->count() > 1)
        outer->addLayout(buttons);
    else
        delete buttons;
    if (!stretches) outer->setSizeConstraint(QLayout::SetFixedSize);

    // The Tab key follows the template.
    QWidget* previous = nullptr;
    for (const Shown& s : shown_) {
        std::vector<QWidget*> chain;
        if (!s.radios.empty())
            chain.assign(s.radios.begin(), s.radios.end());
        else if (s.widget && s.widget->focusPolicy() != Qt::NoFocus)
            chain.push_back(s.widget);
        for (QWidget* w : chain) {
            if (previous) setTabOrder(previous, w);
            previous = w;
        }
    }
}

QWidget* DialogWindow::createWidget(int index) {
    const Control& c = dialog_.controls()[index];
    Shown& s = shown_[index];
    Dialog& d = dialog_;
    switch (c.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(toQt(c.label), this);
        label->setTextFormat(Qt::PlainText);
        s.widget = label;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new PictureEdit(*this, index);
        Picture picture = d.pictureOf(c);
        edit->setFixedWidth(fieldWidth(edit->fontMetrics(), picture, c.hidden));
        if (c.hidden) edit->setEchoMode(QLineEdit::Password);
        if (c.rightAlign || picture.type() == 'N') edit->setAlignment(Qt::AlignRight);
        s.widget = edit;
        break;
    }
    case ControlKind::MultiLine: {
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        if (!c.font.empty()) text->setFont(QFont(toQt(c.font)));
        QFontMetrics fm(text->font());
        int widest = 0, lines = 0;
        for (const QString& line : shownText(c.edit.text).split('\n')) {
            widest = std::max(widest, fm.horizontalAdvance(line));
            ++lines;
        }
        text->setMinimumSize(std::clamp(widest + 40, 360, 1000),
                             std::clamp(lines + 1, 8, 30) * fm.lineSpacing() + 12);
        s.widget = text;
        watchFocus(text, index);
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(toQt(c.label), this);
        box->setTristate(c.threeState);
        connect(box, &QCheckBox::clicked, this, [this, box, index] {
            Value value;
            if (box->checkState() != Qt::PartiallyChecked) value = box->checkState() == Qt::Checked;
            act([&] { dialog_.setValue(index, value); });
        });
        s.widget = box;
        watchFocus(box, index);
        break;
    }
    case ControlKind::ComboBox:
    case ControlKind::DropDown: {
        auto* combo = new QComboBox(this);
        const bool typing = c.kind == ControlKind::ComboBox;
        combo->setEditable(typing);
        for (const std::string& item : c.items) combo->addItem(toQt(item));
        if (typing) {
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                    [this, index](const QString& t) {
                        act([&] { dialog_.setComboText(index, fromQt(t)); });
                    });
            connect(combo, &QComboBox::activated, this, [this, combo, index](int item) {
                act([&] { dialog_.setComboText(index, fromQt(combo->itemText(item))); });
            });
            watchFocus(combo->lineEdit(), index);
        } else {
            connect(combo, &QComboBox::activated, this, [this, combo, index](int item) {
                act([&] { dialog_.setValue(index, fromQt(combo->itemText(item))); });
            });
        }
        s.widget = combo;
        watchFocus(combo, index);
        break;
    }
    case ControlKind::Radio: {
        auto* box = new QWidget(this);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(0, 0, 0, 0);
        auto* group = new QButtonGroup(box);
        for (size_t k = 0; k < c.items.size(); ++k) {
            auto* radio = new QRadioButton(toQt(c.items[k]), box);
            group->addButton(radio, static_cast<int>(k) + 1);
            column->addWidget(radio);
            s.radios.push_back(radio);
            watchFocus(radio, index);
        }
        connect(group, &QButtonGroup::idClicked, this, [this, index](int choice) {
            act([&] { dialog_.setValue(index, static_cast<double>(choice)); });
        });
        s.widget = box;
        break;
    }
    case ControlKind::Button:
    case ControlKind::BitmapButton: {
        auto* button = new QPushButton(toQt(c.label), this);
        if (c.kind == ControlKind::BitmapButton) {
            QPixmap picture = bitmap(c.bitmap);
            button->setIcon(picture);
            button->setIconSize(picture.size());
        }
        button->setAutoDefault(true);
        button->setDefault(c.defaultButton);
        const int id = c.id;
        connect(button, &QPushButton::clicked, this, [this, index, id] {
            act([&] {
                // Buttons without an id have only their action.
                if (id >= 0) {
                    dialog_.press(id);
                } else if (dialog_.enabled(index) && dialog_.controls()[index].action) {
                    dialog_.controls()[index].action();
                    dialog_.sync();
                }
            });
        });
        s.widget = button;
        watchFocus(button, index);
        break;
    }
    case ControlKind::GroupBox:
        s.widget = new QGroupBox(toQt(c.label), this);
        break;
    case ControlKind::Image: {
        auto* image = new QLabel(this);
        image->setPixmap(bitmap(c.bitmap));
        s.widget = image;
        break;
    }
    case ControlKind::Browse: {
        if (c.grid) {
            auto* grid = new GridView(*c.grid, this);
            int width = 0;
            for (const GridColumn& column : c.grid->columns) width += column.width;
            grid->setMinimumSize(width + 24, 15 * grid->verticalHeader()->defaultSectionSize());
            s.grid = grid;
            s.widget = grid;
            watchFocus(grid, index);
        } else {
            s.widget = new QWidget(this);
        }
        break;
    }
    }
    s.widget->setObjectName(QString::number(c.id));
    return s.widget;
}

void DialogWindow::place(int index, Section& section, QLabel* label, QHBoxLayout*& besideField) {
    const Control& c = dialog_.controls()[index];
    Shown& s = shown_[index];
    const bool hinted = c.row >= 0;
    const int row = hinted ? c.row : section.nextRow;
    const int pair = hinted && c.col >= 0 ? c.col : 0;
    const int span = std::max(1, c.span);
    section.nextRow = std::max(section.nextRow, row + 1);
    besideField = nullptr;

    if (hasLabelColumn(c.kind)) {
        if (!label && !c.label.empty()) {
            label = new QLabel(toQt(c.label), this);
            label->setTextFormat(Qt::PlainText);
        }
        if (label) {
            label->setBuddy(s.radios.empty() ? s.widget : s.radios.front());
            section.grid->addWidget(label, row, 2 * pair, Qt::AlignLeft | Qt::AlignVCenter);
            s.label = label;
        }
        auto* cell = new QHBoxLayout;
        cell->setSpacing(6);
        cell->addWidget(s.widget);
        cell->addStretch(1);
        section.grid->addLayout(cell, row, 2 * pair + 1, 1, 2 * span - 1);
        besideField = cell;
    } else if (spansRow(c.kind)) {
        Qt::Alignment align = c.kind == ControlKind::Image ? Qt::AlignHCenter : Qt::Alignment();
        int columns = hinted ? 2 * span : -1;
        section.grid->addWidget(s.widget, row, 2 * pair, 1, columns, align);
    } else {
        section.grid->addWidget(s.widget, row, 2 * pair + 1, 1, 2 * span - 1, Qt::AlignLeft);
    }
}

void DialogWindow::watchFocus(QWidget* widget, int index) {
    focusIndex_.insert(widget, index);
    widget->installEventFilter(this);
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto found = focusIndex_.constFind(watched);
        if (found != focusIndex_.constEnd()) focused(*found);
    }
    return QDialog::eventFilter(watched, event);
}

void DialogWindow::focused(int index) {
    if (dialog_.focus() == index) return;
    act([&] { dialog_.focusTo(index); });
}

void DialogWindow::sync() {
    if (syncing_) return;
    syncing_ = true;
    setWindowTitle(toQt(dialog_.caption));
    for (size_t i = 0; i < shown_.size(); ++i) showControl(static_cast<int>(i));
    syncing_ = false;
    setFocusFromModel();
}

void DialogWindow::setFocusFromModel() {
    std::optional<int> focus = dialog_.focus();
    if (!focus) return;
    const Shown& s = shown_[*focus];
    QWidget* target = s.radios.empty() ? s.widget : s.radios.front();
    for (QRadioButton* radio : s.radios)
        if (radio->isChecked()) target = radio;
    if (!target || target->hasFocus() || !target->isEnabled() || !target->isVisibleTo(this)) return;
    if (target->focusPolicy() == Qt::NoFocus) return;
    target->setFocus(Qt::OtherFocusReason);
}

void DialogWindow::showControl(int index) {
    const Control& c = dialog_.controls()[index];
    Shown& s = shown_[index];
    QWidget* w = s.widget;
    bool enabled = true;
    act([&] { enabled = dialog_.enabled(index); });
    w->setEnabled(enabled);
    if (s.label) s.label->setEnabled(enabled);
    if (w->isHidden() == c.visible) {
        w->setHidden(!c.visible);
        if (s.label) s.label->setHidden(!c.visible);
    }
    const bool focused = dialog_.focus() == index;
    switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::GroupBox: {
        QString text = toQt(c.label);
        if (auto* label = dynamic_cast<QLabel*>(w); label && label->text() != text)
            label->setText(text);
        if (auto* box = dynamic_cast<QGroupBox*>(w); box && box->title() != text)
            box->setTitle(text);
        break;
    }
    case ControlKind::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        QString text = toQt(c.edit.text);
        if (edit->text() != text) edit->setText(text);
        if (focused && c.edit.selectedAll) {
            edit->selectAll();
        } else {
            edit->deselect();
            edit->setCursorPosition(focused ? c.edit.cursor : 0);
        }
        break;
    }
    case ControlKind::MultiLine: {
        QString text = shownText(c.edit.text);
        if (s.text != text) {
            static_cast<QPlainTextEdit*>(w)->setPlainText(text);
            s.text = text;
        }
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = static_cast<QCheckBox*>(w);
        box->setText(toQt(c.label));
        Qt::CheckState state = valueType(c.value) == 'U' && c.threeState ? Qt::PartiallyChecked
                               : asBool(c.value)                         ? Qt::Checked
                                                                         : Qt::Unchecked;
        box->setCheckState(state);
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = static_cast<QComboBox*>(w);
        QString text = toQt(c.edit.text);
        if (combo->currentText() != text) combo->setEditText(text);
        break;
    }
    case ControlKind::DropDown: {
        auto* combo = static_cast<QComboBox*>(w);
        combo->setCurrentIndex(combo->findText(toQt(asText(c.value))));
        break;
    }
    case ControlKind::Radio: {
        int choice = static_cast<int>(asNumber(c.value));
        for (size_t k = 0; k < s.radios.size(); ++k) s.radios[k]->setChecked(int(k) + 1 == choice);
        break;
    }
    case ControlKind::Button:
    case ControlKind::BitmapButton: {
        auto* button = static_cast<QPushButton*>(w);
        QString text = toQt(c.label);
        if (button->text() != text) button->setText(text);
        break;
    }
    case ControlKind::Browse:
        if (s.grid) s.grid->refresh();
        break;
    case ControlKind::Image:
        break;
    }
}

void DialogWindow::markInvalid(int index, bool on) {
    QWidget* w = widgetOf(index);
    if (!on || !w) {
        redLine_->hide();
        return;
    }
    QPoint under = w->mapTo(this, QPoint(0, w->height()));
    redLine_->setGeometry(under.x(), under.y(), w->width(), 2);
    redLine_->show();
    redLine_->raise();
}

void DialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setFocusFromModel();
}

void DialogWindow::reject() {
    act([&] { dialog_.requestClose(); });
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    if (!dialog_.ended()) act([&] { dialog_.requestClose(); });
    if (dialog_.ended())
        event->accept();
    else
        event->ignore();
}

} // namespace vardo
