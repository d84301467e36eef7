#pragma once
// A dialog template drawn with widgets and run modally. The dialog model
// decides everything: this window reports what the person does (focus, keys,
// clicks) and shows what the model holds whenever it says so.
//
// Layout: each section (the dialog, or a group box and the controls after it up
// to the next group box) is a grid of label/field column pairs. Without hints a
// control takes the next row of pair 0: a field with its label at the left (its
// own label, or a Label right before it), a check box or radio group in the
// field column, a multi-line text, a browse or an image across the row. A
// button with an id below 200 right after a field sits beside it ("Sfoglia");
// buttons with ids of 200 and above form the button row at the bottom. With
// hints, `row` is the grid row within the section, `col` the column pair and
// `span` the number of pairs the field spans.

#include "common/dialog.h"

#include <QDialog>
#include <QHash>
#include <memory>
#include <vector>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QRadioButton;

namespace vardo {

class GridView;

class DialogWindow : public QDialog {
public:
    DialogWindow(Dialog& dialog, QWidget* owner);
    ~DialogWindow() override;

    DialogView* view() { return &view_; }
    Dialog& dialog() { return dialog_; }

    // Shows every control as the model holds it.
    void sync();
    void showControl(int index);
    // A control took the focus.
    void focused(int index);
    // Runs a step of the model on behalf of the person.
    void act(const std::function<void()>& step);

    // The widget of a control (for the red line and for tests); nullptr for none.
    QWidget* widgetOf(int index) const;

protected:
    void reject() override; // Esc
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class View : public DialogView {
    public:
        explicit View(DialogWindow& window) : window_(window) {}
        void sync() override { window_.sync(); }
        void markInvalid(int index, bool on) override { window_.markInvalid(index, on); }
        void close() override { window_.done(window_.dialog_.result()); }

    private:
        DialogWindow& window_;
    };

    struct Shown {
        QWidget* widget = nullptr; // the control itself
        QLabel* label = nullptr;   // its label at the left
        std::vector<QRadioButton*> radios;
        GridView* grid = nullptr;
        QString text; // what a multi-line field shows
    };

    struct Section {
        QGridLayout* grid;
        int nextRow = 0;
    };

    void build();
    QWidget* createWidget(int index);
    void place(int index, Section& section, QLabel* label, QHBoxLayout*& besideField);
    void watchFocus(QWidget* widget, int index);
    void markInvalid(int index, bool on);
    void setFocusFromModel();

    Dialog& dialog_;
    View view_{*this};
    std::vector<Shown> shown_;
    QHash<QObject*, int> focusIndex_;
    QWidget* redLine_ = nullptr;
    bool syncing_ = false;
};

} // namespace vardo
