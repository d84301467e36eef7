#include "common/dialog.h"

#include "common/format.h"
#include "common/messages.h"
#include "common/ui.h"

namespace vardo {

namespace {

bool hasShownText(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox || kind == ControlKind::MultiLine;
}

} // namespace

Dialog::Dialog(std::string templateName, std::string caption)
    : caption(std::move(caption)), templateName_(std::move(templateName)) {}

int Dialog::add(Control control) {
    controls_.push_back(std::move(control));
    Control& c = controls_.back();
    if (c.kind == ControlKind::Edit) {
        if (c.value.index() == 0) c.value = std::string();
        if (valueType(c.value) == 'C' && c.length > 0) c.value = padRight(asText(c.value), c.length);
        c.edit.text = pictureOf(c).display(c.value);
    } else if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::MultiLine) {
        c.edit.text = asText(c.value);
    }
    return static_cast<int>(controls_.size()) - 1;
}

Control* Dialog::ITEM(int id) {
    int i = indexOf(id);
    return i < 0 ? nullptr : &controls_[i];
}

Control* Dialog::CTL(int position) {
    if (position < 1 || position > static_cast<int>(controls_.size())) return nullptr;
    return &controls_[position - 1];
}

Control* Dialog::CTL(std::string_view name) {
    for (auto& c : controls_)
        if (!c.name.empty() && upper(c.name).starts_with(upper(name))) return &c;
    return nullptr;
}

int Dialog::indexOf(int id) const {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].id == id) return static_cast<int>(i);
    return -1;
}

Picture Dialog::pictureOf(const Control& c) const {
    char type = valueType(c.value);
    if (type == 'U') type = 'C';
    int width = c.length > 0 ? c.length : static_cast<int>(asText(c.value).size());
    return Picture(c.picture, type, width);
}

bool Dialog::enabled(int index) const {
    const Control& c = controls_[index];
    return !c.when || c.when();
}

void Dialog::leaveFocus() {
    if (!focus_) return;
    int i = *focus_;
    focus_.reset();
    Control& c = controls_[i];
    if (c.kind == ControlKind::Edit) {
        Picture pic = pictureOf(c);
        std::string typed = c.edit.text;
        c.value = pic.read(typed);
        // A bad date stays as typed, so that the person sees what to mend.
        bool badDate = pic.type() == 'D' && pic.isBadDate(typed);
        c.edit = Picture::Edit{badDate ? typed : pic.display(c.value)};
    } else if (c.kind == ControlKind::ComboBox) {
        c.value = c.edit.text;
    }
    if (c.onLostFocus) c.onLostFocus();
}

void Dialog::focusTo(int index) {
    if (focus_ == index) return;
    leaveFocus();
    focus_ = index;
    Control& c = controls_[index];
    if (c.kind == ControlKind::Edit) {
        Picture pic = pictureOf(c);
        std::string shown = c.edit.text;
        bool badDate = pic.type() == 'D' && pic.isBadDate(shown);
        c.edit = pic.beginEdit(c.value);
        if (badDate) c.edit.text = shown;
    }
    sync();
}

void Dialog::changed(int index) {
    modified = true;
    if (controls_[index].onChange) controls_[index].onChange();
}

bool Dialog::typeChar(char c) {
    if (!focus_) return false;
    int i = *focus_;
    Control& ctl = controls_[i];
    bool accepted = false;
    if (ctl.kind == ControlKind::Edit) {
        std::string before = ctl.edit.text;
        accepted = pictureOf(ctl).typeChar(ctl.edit, c);
        if (accepted && ctl.edit.text != before) changed(i);
    } else if (ctl.kind == ControlKind::ComboBox) {
        ctl.edit.text += c;
        accepted = true;
        changed(i);
    }
    sync();
    return accepted;
}

void Dialog::pressKey(Picture::Key key) {
    if (!focus_) return;
    int i = *focus_;
    Control& ctl = controls_[i];
    if (ctl.kind != ControlKind::Edit) return;
    std::string before = ctl.edit.text;
    pictureOf(ctl).pressKey(ctl.edit, key);
    if (ctl.edit.text != before) changed(i);
    sync();
}

void Dialog::setCursor(int position) {
    if (!focus_ || controls_[*focus_].kind != ControlKind::Edit) return;
    Picture::Edit& e = controls_[*focus_].edit;
    e.cursor = std::max(0, std::min(position, static_cast<int>(e.text.size())));
    e.selectedAll = false;
}

void Dialog::selectAll() {
    if (focus_ && controls_[*focus_].kind == ControlKind::Edit) controls_[*focus_].edit.selectedAll = true;
}

void Dialog::setValue(int index, Value value) {
    Control& c = controls_[index];
    c.value = std::move(value);
    changed(index);
    sync();
}

void Dialog::setComboText(int index, std::string text) {
    Control& c = controls_[index];
    if (c.edit.text == text) return;
    c.edit.text = std::move(text);
    changed(index);
    sync();
}

void Dialog::press(int id) {
    int i = indexOf(id);
    if (i < 0 || !enabled(i)) return;
    if (id == 201 && !controls_[i].action) {
        confirm();
    } else if (id == 202 && !controls_[i].action) {
        if (__VALID(*this, false)) end(2);
    } else if (controls_[i].action) {
        controls_[i].action();
    }
    sync();
}

void Dialog::requestClose() {
    if (__VALID(*this, false)) end(0);
}

void Dialog::confirm() {
    if (__VALID(*this, true)) end(1);
}

void Dialog::end(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    if (view_) view_->close();
}

void Dialog::setBoundValue(int index, Value value) {
    Control& c = controls_[index];
    c.value = std::move(value);
    if (c.kind == ControlKind::Edit) {
        Picture pic = pictureOf(c);
        c.edit = focus_ == index ? pic.beginEdit(c.value) : Picture::Edit{pic.display(c.value)};
    } else if (hasShownText(c.kind)) {
        c.edit.text = asText(c.value);
    }
    sync();
}

void Dialog::sync() {
    if (view_) view_->sync();
}

std::string Dialog::fieldText(int index) const { return trimRight(controls_[index].edit.text); }

bool Dialog::validateAll() {
    for (size_t n = 0; n < controls_.size(); ++n) {
        int i = static_cast<int>(n);
        Control& c = controls_[n];
        if (c.kind == ControlKind::Label) continue;
        if (c.kind == ControlKind::ComboBox) c.value = c.edit.text;
        if (!enabled(i)) continue;
        std::string failure;
        if (c.kind == ControlKind::Edit) {
            Picture pic = pictureOf(c);
            if (pic.type() == 'D' && pic.isBadDate(c.edit.text))
                failure = "Data non valida.";
            else if (pic.type() == 'N' && pic.isBadNumber(asNumber(c.value)))
                failure = "Numero troppo grande.";
        }
        if (failure.empty() && c.valid && !c.valid(c.value)) failure = "Campo non valido.";
        if (failure.empty()) continue;
        if (view_) view_->markInvalid(i, true);
        POPMSG(failure, MSG_INFO);
        if (view_) view_->markInvalid(i, false);
        focusTo(i);
        return false;
    }
    return true;
}

bool __VALID(Dialog& dialog, bool confirmed) {
    if (!confirmed) {
        if (!dialog.asksBeforeDiscard || !dialog.modified) return true;
        if (POPMSG("Annullo le modifiche?", MSG_YESNO_NO)) return true;
        dialog.sync(); // the focus goes back where it was
        return false;
    }
    // The focused field first takes what was typed in it.
    dialog.leaveFocus();
    return dialog.validateAll();
}

void REFRESHALL(Dialog& dialog) {
    if (dialog.refreshing_) return;
    dialog.refreshing_ = true;
    for (size_t n = 0; n < dialog.controls_.size(); ++n) {
        Control& c = dialog.controls_[n];
        bool focused = dialog.focus_ == static_cast<int>(n);
        if (c.kind == ControlKind::Edit) {
            Picture pic = dialog.pictureOf(c);
            if (pic.type() == 'D' && pic.isBadDate(c.edit.text)) continue;
            std::string expected = focused ? pic.editText(c.value) : pic.display(c.value);
            if (c.edit.text != expected) c.edit = focused ? pic.beginEdit(c.value) : Picture::Edit{expected};
        } else if (c.kind == ControlKind::MultiLine || (c.kind == ControlKind::ComboBox && !focused)) {
            c.edit.text = asText(c.value);
        }
    }
    dialog.refreshing_ = false;
    dialog.sync();
}

void addConfirmCancel(Dialog& dialog, std::string_view confirmLabel) {
    dialog.add({.id = 201, .kind = ControlKind::Button, .label = std::string(confirmLabel),
                .defaultButton = true});
    dialog.add({.id = 202, .kind = ControlKind::Button, .label = "&Annulla"});
}

Dialog infosDialog(const std::string& program, const std::string& version, const std::string& year) {
    Dialog d("INFOS", program);
    d.add({.id = 101, .kind = ControlKind::Image, .bitmap = "KOBA"});
    d.add({.id = 102, .kind = ControlKind::Label, .label = program});
    d.add({.id = 103, .kind = ControlKind::Label, .label = "Versione: " + version});
    d.add({.id = 104, .kind = ControlKind::Label, .label = year + " KOBA Software"});
    d.add({.kind = ControlKind::Label, .label = "KOBA Software"});
    d.add({.id = 201, .kind = ControlKind::Button, .label = "&Chiudi", .defaultButton = true});
    return d;
}

void INFOS(const std::string& program, const std::string& version, const std::string& year) {
    Dialog d = infosDialog(program, version, year);
    ui().runDialog(d);
}

} // namespace vardo
