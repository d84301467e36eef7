#pragma once
// The dialog model. A dialog is a template made of data (its controls with id,
// kind, label, bound value, picture, rules and handlers) plus the state of one
// run: values, the text of each field, the focus, the modified mark and the
// result. The closing rule, validation in control order and the question before
// discarding live here, written once; the Qt front end and the scripted user of
// the tests only report what the person does and show what the model holds.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/picture.h"
#include "common/value.h"
#include "common/window.h"

namespace vardo {

enum class ControlKind {
    Label,        // fixed text
    Edit,         // entry field driven by its picture
    MultiLine,    // read-only multi-line text
    CheckBox,     // value bool; three-state: no value means undetermined
    ComboBox,     // list with typing; value text
    DropDown,     // list without typing; value text of the chosen item
    Radio,        // one group of radio buttons; value the 1-based choice
    Button,
    BitmapButton,
    GroupBox,
    Image,
    Browse,       // a grid over a table or a list
};

struct Control {
    int id = -1;                  // template id; -1 for controls without one
    ControlKind kind = ControlKind::Label;
    std::string label;            // caption, or the text beside an entry field
    std::string name;             // bound variable name (CTL by name)
    Value value;                  // bound value
    std::string picture;          // entry fields
    int length = 0;               // characters of a text field
    bool hidden = false;          // entry field hiding what is typed
    bool rightAlign = false;
    bool threeState = false;      // check box
    bool defaultButton = false;
    std::vector<std::string> items; // combo box, drop-down, radio
    std::string bitmap;           // bitmap buttons and images
    std::string font;             // multi-line text: font family name
    std::shared_ptr<Grid> grid;   // browse

    std::function<bool(const Value&)> valid; // validity rule; none: always valid
    std::function<bool()> when;              // enabling rule; none: always enabled
    std::function<void()> onChange;
    std::function<void()> onLostFocus;
    std::function<void()> action;            // buttons other than 201 and 202

    // Layout hints for the front end; -1 lets it place the control.
    int row = -1, col = -1, span = 1;
    bool visible = true;

    // State of the run.
    Picture::Edit edit;           // entry fields: the text shown and the cursor
};

// The front end's side of a running dialog.
class DialogView {
public:
    virtual ~DialogView() = default;
    // Show every control as the model now holds it (texts, values, enabling, focus).
    virtual void sync() = 0;
    // The red line under a control that failed validation.
    virtual void markInvalid(int index, bool on) = 0;
    // The model ended the dialog.
    virtual void close() = 0;
};

class Dialog {
public:
    Dialog(std::string templateName, std::string caption);

    const std::string& templateName() const { return templateName_; }
    std::string caption;
    // Record and parameter editors ask "Annullo le modifiche?" before discarding.
    bool asksBeforeDiscard = false;

    // Adds a control; returns its index. Entry fields get their shown text.
    int add(Control control);
    std::vector<Control>& controls() { return controls_; }
    const std::vector<Control>& controls() const { return controls_; }

    // The control with a template id; nullptr when none.
    Control* ITEM(int id);
    // The control at a 1-based position, or the first whose bound name begins
    // with `name`; nullptr when none.
    Control* CTL(int position);
    Control* CTL(std::string_view name);
    int indexOf(int id) const; // -1 when none

    Picture pictureOf(const Control& c) const;
    bool enabled(int index) const;

    // --- what the person does (called by the front ends) ---------------------
    void focusTo(int index);
    std::optional<int> focus() const { return focus_; }
    // Typing into the focused entry field; false when the picture refuses the key.
    bool typeChar(char c);
    void pressKey(Picture::Key key);
    void setCursor(int position);
    // Selects the whole text of the focused entry field (typing then replaces it).
    void selectAll();
    // A new value for a check box, a list, a radio group (not entry fields).
    void setValue(int index, Value value);
    // The edit part of a combo box.
    void setComboText(int index, std::string text);
    // A button by template id: 201 confirms, 202 cancels, others run their action.
    void press(int id);
    // Esc or the close box: the dialog closes when the closing rule allows it.
    void requestClose();

    // --- the program's side --------------------------------------------------
    bool modified = false;
    bool ended() const { return ended_; }
    int result() const { return result_; }
    // Ends the run with a result (1 confirmed; 0 or 2 cancelled).
    void end(int result);
    // Confirms as button 201 does.
    void confirm();
    // Takes a program-side change of a bound value into the shown text.
    void setBoundValue(int index, Value value);

    void attach(DialogView* view) { view_ = view; }
    void sync();

    // Text of an entry field without the template's trailing blanks.
    std::string fieldText(int index) const;

private:
    friend bool __VALID(Dialog&, bool);
    friend void REFRESHALL(Dialog&);
    void leaveFocus();
    bool validateAll();
    void changed(int index);

    std::string templateName_;
    std::vector<Control> controls_;
    std::optional<int> focus_;
    bool ended_ = false;
    int result_ = 0;
    bool refreshing_ = false;
    DialogView* view_ = nullptr;
};

// The closing rule: true lets the dialog close. `confirmed` is true when the
// confirm button closes it.
bool __VALID(Dialog& dialog, bool confirmed);
// Redisplays every bound control whose shown text no longer matches its value.
void REFRESHALL(Dialog& dialog);

// The "&Conferma" / "&Annulla" pair every entry dialog ends with.
void addConfirmCancel(Dialog& dialog, std::string_view confirmLabel = "&Conferma");

// The about box.
Dialog infosDialog(const std::string& program, const std::string& version, const std::string& year);
void INFOS(const std::string& program, const std::string& version, const std::string& year);

} // namespace vardo
