#pragma once
// Settings variables (CFG_ names) in nested scopes, the settings files that keep
// them, and the values the whole run reads.
//
// A scope lives exactly as long as the operation that opened it (a
// SettingsScope object on its stack); variables loaded into it hide those of the
// same name in outer scopes and vanish with it. The first scope, opened at
// start-up, is the base scope of the run.

#include <string>
#include <vector>

#include "common/value.h"

namespace vardo {

// Private-profile access with the path made absolute against the working folder.
std::string GETPVPROFSTRING(const std::string& section, const std::string& key,
                            const std::string& def, const std::string& path);
// The section's key names in file order, each without trailing blanks.
std::vector<std::string> GETPVPROFSECTION(const std::string& section, const std::string& path);
// Writes a key; a write the system refuses is not reported.
void WRITEPPROSTRING(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path);

class SettingsScope {
public:
    SettingsScope();
    ~SettingsScope();
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

    // Creates (or replaces) a variable in this scope.
    void set(const std::string& name, Value value);
    // Loads a settings file: one variable in this scope for each key of its
    // section "Vars", with its decoded value. A missing file loads nothing.
    void load(const std::string& path);
};

// The value of the innermost visible variable of that name; a run-time error
// (variable does not exist) when no visible scope has it.
Value setting(const std::string& name);
bool settingExists(const std::string& name);
// Assigns to the innermost visible variable of that name, or creates it in the
// innermost scope when none is visible.
void assignSetting(const std::string& name, Value value);
// Assigns the decoded value of every key of section "Vars" of the file.
void RESTOREINI(const std::string& path);
// Writes every visible variable whose name begins with the mask less its final
// "*", in ascending byte order of the names, into section "Vars" of the file.
void SAVEINI(const std::string& mask, const std::string& path);
// Decodes a stored value: type letter and settings text.
Value decodeSetting(const std::string& stored);
// Encodes a value as it is stored: type letter and settings text.
std::string encodeSetting(const Value& value);

// Values the whole run reads, set at start-up.
struct RunValues {
    std::string PRG_ID;   // program identifier and file marker
    std::string PATH;     // folder proposed by the next file dialog
    std::string ACS_USER; // base name of the recent-files file
    std::string ACS_TEMP; // the instance folder, with a closing "/"; empty until it exists
};
RunValues& run();

} // namespace vardo
