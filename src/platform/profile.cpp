#include "platform/profile.h"

#include "platform/os.h"

#include <optional>
#include <string_view>

namespace vardo::os {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    a = trimBlanks(a);
    b = trimBlanks(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

bool enclosedInQuotes(std::string_view s) {
    return s.size() >= 2 && isQuote(s.front()) && s.front() == s.back();
}

// Reading drops surrounding blanks and one pair of enclosing quotes, as the
// Windows profile functions do; such values are written inside double quotes
// so that they come back unchanged.
std::string storedForm(const std::string& value) {
    bool needsQuotes = !value.empty() &&
                       (isBlank(value.front()) || isBlank(value.back()) || enclosedInQuotes(value));
    return needsQuotes ? "\"" + value + "\"" : value;
}

std::string readValue(std::string_view stored) {
    stored = trimBlanks(stored);
    if (enclosedInQuotes(stored)) stored = stored.substr(1, stored.size() - 2);
    return std::string(stored.substr(0, kProfileValueMax));
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Names that would read back as something else (a section, a comment, part of
// the value) or break the line structure are refused.
bool storable(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view k = trimBlanks(key);
    return !trimBlanks(section).empty() && !hasLineBreakOrNul(section) &&
           section.find(']') == std::string_view::npos && !k.empty() && !hasLineBreakOrNul(k) &&
           k.find('=') == std::string_view::npos && k.front() != '[' && k.front() != ';' &&
           !hasLineBreakOrNul(value);
}

// Lines without their ends; CR LF, bare LF and a last line without an end all read.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = (end > start && text[end - 1] == '\r') ? end - 1 : end;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return trimBlanks(line.substr(0, line.find(']')));
}

// Comments (";") and lines without "=" hold no key.
std::optional<std::string_view> keyName(std::string_view line) {
    std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view name = trimBlanks(trimmed.substr(0, equals));
    if (name.empty()) return std::nullopt;
    return name;
}

std::string_view valueText(std::string_view line) {
    return line.substr(line.find('=') + 1);
}

// The lines after the header of the first section of that name, up to the next header.
struct SectionSpan {
    size_t header;
    size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<std::string>& lines,
                                       std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = sectionName(lines[i]);
        if (!name || !sameName(*name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end])) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

// The first line of the key; later duplicates are ignored.
std::optional<size_t> findKey(const std::vector<std::string>& lines, SectionSpan span,
                              std::string_view key) {
    for (size_t i = span.header + 1; i < span.end; ++i) {
        auto name = keyName(lines[i]);
        if (name && sameName(*name, key)) return i;
    }
    return std::nullopt;
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    if (readFile(path, text) != Ok) return false;
    lines = splitLines(text);
    return true;
}

} // namespace

std::string getProfileString(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& path) {
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return def;
    auto span = findSection(lines, section);
    if (!span) return def;
    auto at = findKey(lines, *span, key);
    return at ? readValue(valueText(lines[*at])) : def;
}

std::vector<std::string> getProfileSection(const std::string& section, const std::string& path) {
    std::vector<std::string> names;
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return names;
    auto span = findSection(lines, section);
    if (!span) return names;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        auto name = keyName(lines[i]);
        if (!name) continue;
        bool seen = false;
        for (const auto& n : names) seen = seen || sameName(n, *name);
        if (!seen) names.emplace_back(*name);
    }
    return names;
}

int writeProfileString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
    if (!storable(section, key, value)) return OtherError;
    std::string text;
    int err = readFile(path, text);
    if (err != Ok && err != FileNotFound) return err; // never replace a file we could not read
    std::vector<std::string> lines = splitLines(text);
    std::string line = std::string(trimBlanks(key)) + "=" + storedForm(value);
    if (auto span = findSection(lines, section)) {
        if (auto at = findKey(lines, *span, key)) {
            lines[*at] = line;
        } else {
            // After the section's last non-blank line, so that a blank line
            // separating it from the next section stays where it is.
            size_t last = span->end - 1;
            while (last > span->header && trimBlanks(lines[last]).empty()) --last;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1), line);
        }
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(line);
    }
    return writeFileAtomic(path, joinLines(lines));
}

} // namespace vardo::os
