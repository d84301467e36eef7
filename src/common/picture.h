#pragma once
// The picture language of entry fields, free of any toolkit: what a field shows
// with and without the focus, which keys it takes and what they type, and how
// its text reads back into a value. Both front ends (Qt and the scripted user of
// the tests) edit through it, so a field behaves the same in both.
//
// A picture is an optional function part ("@" up to the first blank: "!" upper
// case, "9" digits only, "Z" zero shown as blanks, "E" amount separators) and a
// template: "9" a digit, "A" a letter, "X" any character, "!" any character in
// upper case; in a numeric template "," is the thousands separator and "." the
// decimal point; every other template character is fixed, shown and skipped.

#include <string>
#include <string_view>

#include "common/value.h"

namespace vardo {

class Picture {
public:
    // `type` is the kind of the bound value ('C', 'N', 'D' or 'L'); `width` the
    // length of a character value (ignored when the template fixes it).
    Picture(std::string_view picture, char type, int width = 0);

    char type() const { return type_; }

    // The text shown while the field does not have the focus.
    std::string display(const Value& value) const;
    // The text shown when the field takes the focus: numbers plain ("1234,5"
    // with "," as decimal point, no separators, zero as "0"), others as display.
    std::string editText(const Value& value) const;
    // Numeric fields select their whole text on entry, so typing replaces it.
    bool selectsAllOnEntry() const { return type_ == 'N'; }
    // The longest text the field holds.
    int maxLength() const;

    // One field being edited.
    struct Edit {
        std::string text;
        int cursor = 0;
        bool selectedAll = false; // the whole text is selected
        bool insert = true;       // insert (free text) or overwrite (templates)
    };
    // A start of editing: the edit text, the cursor at the start, all selected
    // for numbers, overwrite mode where a template fixes the positions.
    Edit beginEdit(const Value& value) const;
    // Types one character; false when the field refuses it (nothing changes).
    bool typeChar(Edit& edit, char c) const;
    enum class Key { Backspace, Delete, Left, Right, Home, End, ToggleInsert };
    void pressKey(Edit& edit, Key key) const;

    // Reads an edited text back into a value of the field's kind.
    Value read(std::string_view text) const;
    // A date text that is not blank (ignoring "/") and not a valid date.
    bool isBadDate(std::string_view text) const;
    // A number whose shown form begins with "*" (too large for the template).
    bool isBadNumber(double value) const;

private:
    char type_;
    int width_;
    std::string template_;
    bool upper_ = false, digitsOnly_ = false, zeroBlank_ = false, amount_ = false;
};

} // namespace vardo
