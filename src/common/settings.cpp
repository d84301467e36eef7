#include "common/settings.h"

#include "common/error.h"
#include "common/format.h"
#include "platform/os.h"
#include "platform/profile.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <stdexcept>

namespace vardo {

namespace {

const char* const kVarsSection = "Vars";

// Variable names, like the names of the language they come from, do not
// depend on letter case: a key "cfg_iva" in a file is the variable CFG_IVA.
using Variables = std::map<std::string, Value>;

struct Scope {
    const SettingsScope* owner;
    Variables variables;
};

// Innermost scope last.
std::vector<Scope>& scopes() {
    static std::vector<Scope> stack;
    return stack;
}

std::vector<Scope>::iterator scopeOf(const SettingsScope* owner) {
    auto& stack = scopes();
    return std::find_if(stack.begin(), stack.end(),
                        [owner](const Scope& s) { return s.owner == owner; });
}

Variables* innermostHolder(const std::string& name) {
    auto& stack = scopes();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (it->variables.count(name)) return &it->variables;
    return nullptr;
}

Variables& innermostScope() {
    if (scopes().empty()) throw std::logic_error("no settings scope is open");
    return scopes().back().variables;
}

// The numeric value of the leading number of the text (blanks, sign, digits,
// decimals); 0 when the text does not begin with one.
double leadingNumber(std::string_view text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return 0.0;
    size_t end = start;
    if (text[end] == '+' || text[end] == '-') ++end;
    auto digitsFrom = [&](size_t at) {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at;
    };
    size_t intEnd = digitsFrom(end);
    size_t fracEnd = intEnd;
    if (intEnd < text.size() && text[intEnd] == '.') fracEnd = digitsFrom(intEnd + 1);
    bool anyDigit = intEnd > end || fracEnd > intEnd + 1;
    if (!anyDigit) return 0.0;
    // from_chars takes no leading "+".
    if (text[start] == '+') ++start;
    double value = 0.0;
    std::from_chars(text.data() + start, text.data() + fracEnd, value);
    return value;
}

// The settings file a path names: absolute against the working folder, and an
// existing file found whatever the letter case of its name.
std::string settingsFile(const std::string& path) { return os::findCaseless(os::absolutePath(path)); }

} // namespace

std::string GETPVPROFSTRING(const std::string& section, const std::string& key,
                            const std::string& def, const std::string& path) {
    return os::getProfileString(section, key, def, settingsFile(path));
}

std::vector<std::string> GETPVPROFSECTION(const std::string& section, const std::string& path) {
    std::vector<std::string> names = os::getProfileSection(section, settingsFile(path));
    for (auto& name : names) name = trimRight(name);
    return names;
}

void WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) {
    os::writeProfileString(section, key, value, settingsFile(path));
}

SettingsScope::SettingsScope() {
    scopes().push_back({this, {}});
}

SettingsScope::~SettingsScope() {
    scopes().erase(scopeOf(this));
}

void SettingsScope::set(const std::string& name, Value value) {
    scopeOf(this)->variables[upper(name)] = std::move(value);
}

void SettingsScope::load(const std::string& path) {
    for (const auto& name : GETPVPROFSECTION(kVarsSection, path))
        set(name, decodeSetting(GETPVPROFSTRING(kVarsSection, name, "", path)));
}

Value setting(const std::string& name) {
    const std::string key = upper(name);
    if (Variables* holder = innermostHolder(key)) return holder->at(key);
    VardoError e;
    e.genCode = EG_NOVAR;
    e.subsystem = "BASE";
    e.subCode = 1003;
    e.description = "Variable does not exist";
    e.operation = name;
    throw e;
}

bool settingExists(const std::string& name) {
    return innermostHolder(upper(name)) != nullptr;
}

void assignSetting(const std::string& name, Value value) {
    std::string key = upper(name);
    Variables* holder = innermostHolder(key);
    (holder ? *holder : innermostScope())[key] = std::move(value);
}

void RESTOREINI(const std::string& path) {
    for (const auto& name : GETPVPROFSECTION(kVarsSection, path))
        assignSetting(name, decodeSetting(GETPVPROFSTRING(kVarsSection, name, "", path)));
}

void SAVEINI(const std::string& mask, const std::string& path) {
    const std::string prefix = upper(mask.substr(0, mask.empty() ? 0 : mask.size() - 1));
    std::map<std::string, const Value*> visible; // ascending byte order of the names
    for (const Scope& scope : scopes())
        for (const auto& [name, value] : scope.variables)
            if (name.starts_with(prefix)) visible[name] = &value; // inner scopes come later
    const std::string fullPath = settingsFile(path);
    for (const auto& [name, value] : visible) {
        // A save that did not reach the file must not look like one that did:
        // the callers recover from an error, not from a silent loss.
        if (int err = os::writeProfileString(kVarsSection, name, encodeSetting(*value), fullPath))
            throw fileError(EG_WRITE, err, path, "SAVEINI");
    }
}

Value decodeSetting(const std::string& stored) {
    if (stored.empty()) return std::monostate{};
    std::string_view text = std::string_view(stored).substr(1);
    switch (stored.front()) {
    case 'C':
        return std::string(text);
    case 'N':
        return leadingNumber(text);
    case 'D':
        return Date::fromDmy(text);
    case 'L':
        return text.starts_with(".T.");
    default:
        return std::monostate{};
    }
}

std::string encodeSetting(const Value& value) {
    return valueType(value) + trimRight(CVALTOCHAR(value));
}

RunValues& run() {
    // The identifier and the user name never change; the rest is set at start-up.
    static RunValues values{.PRG_ID = "KOBA_Software_VARDO!", .ACS_USER = "USER"};
    return values;
}

} // namespace vardo
