#include "common/picture.h"

#include "common/format.h"
#include "common/numeric_template.h"
#include "common/round.h"

#include <algorithm>
#include <charconv>

namespace vardo {

namespace {

constexpr std::string_view kDateTemplate = "99/99/9999";
// Length of a numeric field whose picture gives no template.
constexpr int kFreeNumberLength = 20;
// Enough digit places for any amount the program holds, to write numbers plainly.
constexpr std::string_view kPlainPlaces = "999999999999999999";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSlot(char t) {
    return t == '9' || t == 'A' || t == 'X' || t == '!';
}

bool isDigitPlace(char t) {
    return t == '9' || t == '#';
}

int decimalPlaces(std::string_view templ) {
    size_t point = templ.find('.');
    if (point == std::string_view::npos) return 0;
    return static_cast<int>(std::count_if(templ.begin() + point + 1, templ.end(), isDigitPlace));
}

// The value without separators, "," before exactly `decimals` places; -1 decimals:
// as many as the value carries.
std::string plainNumber(double value, int decimals) {
    std::string text;
    if (decimals < 0) {
        text = numberText(value);
    } else {
        std::string templ(kPlainPlaces);
        if (decimals > 0) templ += "." + std::string(decimals, '9');
        text = trim(formatNumeric(value, templ, false, false));
    }
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// Free text (no template) lets the cursor stop everywhere.
bool editable(std::string_view templ, size_t at) {
    return templ.empty() || (at < templ.size() && isSlot(templ[at]));
}

// The first editable position at or after `from`; `size` when there is none.
int slotFrom(std::string_view templ, int size, int from) {
    for (int p = std::max(from, 0); p < size; ++p)
        if (editable(templ, p)) return p;
    return size;
}

// The last editable position before `before`; -1 when there is none.
int slotBefore(std::string_view templ, int before) {
    for (int p = before - 1; p >= 0; --p)
        if (editable(templ, p)) return p;
    return -1;
}

// The field emptied: blanks in the editable positions, the fixed characters kept.
std::string blankText(std::string_view templ, size_t width) {
    std::string text(width, ' ');
    for (size_t p = 0; p < width && p < templ.size(); ++p)
        if (!isSlot(templ[p])) text[p] = templ[p];
    return text;
}

// What a position with template character `slot` makes of a typed character; 0 when
// it refuses it.
char accept(char c, char slot, char type, bool upperAll, bool digitsOnly) {
    if (static_cast<unsigned char>(c) < 0x20) return 0;
    if (type == 'L') {
        c = upperCase(c);
        return c == 'T' || c == 'F' ? c : 0;
    }
    if ((slot == '9' || digitsOnly) && !isDigit(c)) return 0;
    if (slot == 'A' && !isLetter(c)) return 0;
    return upperAll || slot == '!' ? upperCase(c) : c;
}

} // namespace

Picture::Picture(std::string_view picture, char type, int width)
    : type_(type == 'N' || type == 'D' || type == 'L' ? type : 'C'), width_(std::max(width, 0)) {
    if (picture.starts_with('@')) {
        size_t blank = picture.find(' ');
        for (char f : picture.substr(1, blank == std::string_view::npos ? blank : blank - 1)) {
            switch (upperCase(f)) {
            case '!':
                upper_ = true;
                break;
            case '9':
                digitsOnly_ = true;
                break;
            case 'Z':
                zeroBlank_ = true;
                break;
            case 'E':
                amount_ = true;
                break;
            default:
                break;
            }
        }
        picture = blank == std::string_view::npos ? std::string_view() : picture.substr(blank + 1);
    }
    template_ = picture;
    // Dates always read and show dd/mm/yyyy; a logical field is one position.
    if (type_ == 'D') template_ = kDateTemplate;
    if (type_ == 'L') template_ = "X";
    if (type_ != 'N' && !template_.empty()) width_ = static_cast<int>(template_.size());
}

std::string Picture::display(const Value& value) const {
    switch (type_) {
    case 'N':
        if (template_.empty()) return plainNumber(asNumber(value), -1);
        return formatNumeric(asNumber(value), template_, amount_, zeroBlank_);
    case 'D':
        return asDate(value).dmy();
    case 'L':
        return asBool(value) ? "T" : "F";
    default:
        break;
    }
    std::string text = padRight(asText(value), width_);
    for (size_t p = 0; p < text.size(); ++p) {
        if (!editable(template_, p))
            text[p] = template_[p];
        else if (upper_ || (!template_.empty() && template_[p] == '!'))
            text[p] = upperCase(text[p]);
    }
    return text;
}

std::string Picture::editText(const Value& value) const {
    if (type_ != 'N') return display(value);
    return plainNumber(asNumber(value), template_.empty() ? -1 : decimalPlaces(template_));
}

int Picture::maxLength() const {
    if (type_ != 'N') return width_;
    if (template_.empty()) return kFreeNumberLength;
    int digits = static_cast<int>(std::count_if(template_.begin(), template_.end(), isDigitPlace));
    return digits + (decimalPlaces(template_) > 0 ? 1 : 0);
}

Picture::Edit Picture::beginEdit(const Value& value) const {
    Edit edit;
    edit.text = editText(value);
    edit.selectedAll = selectsAllOnEntry();
    const bool fixedPositions = type_ != 'N' && !template_.empty();
    edit.insert = !fixedPositions;
    edit.cursor = fixedPositions ? slotFrom(template_, static_cast<int>(edit.text.size()), 0) : 0;
    return edit;
}

bool Picture::typeChar(Edit& edit, char c) const {
    if (type_ == 'N') {
        if (c == '.') c = ',';
        if (!isDigit(c) && c != ',') return false; // the minus key among them
        std::string text = edit.selectedAll ? std::string() : edit.text;
        int cursor =
            edit.selectedAll ? 0 : std::clamp(edit.cursor, 0, static_cast<int>(text.size()));
        const int decimals = template_.empty() ? -1 : decimalPlaces(template_);
        if (c == ',' && (decimals == 0 || text.find(',') != std::string::npos)) return false;
        if (edit.insert || cursor == static_cast<int>(text.size())) {
            if (static_cast<int>(text.size()) >= maxLength()) return false;
            text.insert(text.begin() + cursor, c);
        } else {
            text[cursor] = c;
        }
        size_t comma = text.find(',');
        if (decimals >= 0 && comma != std::string::npos &&
            static_cast<int>(text.size() - comma - 1) > decimals)
            return false;
        edit.text = std::move(text);
        edit.cursor = cursor + 1;
        edit.selectedAll = false;
        return true;
    }

    const int size = static_cast<int>(edit.text.size());
    const int at = slotFrom(template_, size, edit.selectedAll ? 0 : edit.cursor);
    if (at >= size) return false;
    const char slot = template_.empty() ? 'X' : template_[at];
    const char typed = accept(c, slot, type_, upper_, digitsOnly_);
    if (typed == 0) return false;
    std::string text = edit.selectedAll ? blankText(template_, size) : edit.text;
    if (edit.insert && template_.empty()) {
        // Inserting pushes the last character out, so it must be a blank.
        if (text.back() != ' ') return false;
        text.pop_back();
        text.insert(text.begin() + at, typed);
    } else {
        text[at] = typed;
    }
    edit.text = std::move(text);
    edit.cursor = slotFrom(template_, size, at + 1);
    edit.selectedAll = false;
    return true;
}

void Picture::pressKey(Edit& edit, Key key) const {
    const bool clearSelection = edit.selectedAll;
    edit.selectedAll = false;
    const bool numeric = type_ == 'N';
    const bool fixedPositions = !numeric && !template_.empty();
    const int size = static_cast<int>(edit.text.size());
    const int first = numeric ? 0 : slotFrom(template_, size, 0);
    edit.cursor = std::clamp(edit.cursor, 0, size);

    if (clearSelection && (key == Key::Backspace || key == Key::Delete)) {
        edit.text = numeric ? std::string() : blankText(template_, size);
        edit.cursor = first;
        return;
    }
    // Free text closes up behind a removed character and stays as long; a template
    // only blanks the position.
    auto removeAt = [&](int p) {
        if (fixedPositions) {
            edit.text[p] = ' ';
            return;
        }
        edit.text.erase(p, 1);
        if (!numeric) edit.text += ' ';
    };
    switch (key) {
    case Key::Backspace: {
        int p = numeric ? edit.cursor - 1 : slotBefore(template_, edit.cursor);
        if (p < 0) break;
        removeAt(p);
        edit.cursor = p;
        break;
    }
    case Key::Delete: {
        int p = numeric ? edit.cursor : slotFrom(template_, size, edit.cursor);
        if (p < size) removeAt(p);
        break;
    }
    case Key::Left: {
        int p = numeric ? edit.cursor - 1 : slotBefore(template_, edit.cursor);
        if (p >= 0) edit.cursor = p;
        break;
    }
    case Key::Right:
        if (edit.cursor < size)
            edit.cursor = numeric ? edit.cursor + 1 : slotFrom(template_, size, edit.cursor + 1);
        break;
    case Key::Home:
        edit.cursor = first;
        break;
    case Key::End: {
        if (numeric) {
            edit.cursor = size;
            break;
        }
        // Blanks at the end are padding: End stops after the last character typed.
        int last = size - 1;
        while (last >= 0 && (edit.text[last] == ' ' || !editable(template_, last))) --last;
        edit.cursor = slotFrom(template_, size, last + 1);
        break;
    }
    case Key::ToggleInsert:
        if (!fixedPositions) edit.insert = !edit.insert;
        break;
    }
}

Value Picture::read(std::string_view text) const {
    switch (type_) {
    case 'N': {
        std::string plain;
        for (char c : text)
            if (c != ' ') plain += c == ',' ? '.' : c;
        double value = 0.0;
        if (std::from_chars(plain.data(), plain.data() + plain.size(), value).ec != std::errc())
            value = 0.0;
        // The field holds what it shows: no more decimals than its template has.
        return template_.empty() ? value : roundHalfAway(value, decimalPlaces(template_));
    }
    case 'D':
        return Date::fromDmy(text);
    case 'L':
        return upper(trim(text)) == "T";
    default:
        return std::string(text);
    }
}

bool Picture::isBadDate(std::string_view text) const {
    bool blank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '/'; });
    return !blank && !Date::parseDmy(text).has_value();
}

bool Picture::isBadNumber(double value) const {
    return type_ == 'N' && !template_.empty() && display(value).starts_with('*');
}

} // namespace vardo
