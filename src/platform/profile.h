#pragma once
// Private-profile (INI) files, with the semantics the settings, recent-files
// and parameter files rely on: sections and keys match without regard to letter
// case, values are read without surrounding blanks, a write replaces the value
// in place or appends the key at the end of its section (the section at the end
// of the file), lines end with CR LF, and every byte from 32 to 255 of a value
// survives a write and a read. A write replaces the whole file atomically, so a
// crash or a full disk leaves the old file or the new one, never half of it.
// Paths are used as given (callers make them absolute).

#include <string>
#include <vector>

namespace vardo::os {

// The longest value a read returns, in bytes.
constexpr size_t kProfileValueMax = 16383;

// The key's value, or `def` when the file, the section or the key is missing.
std::string getProfileString(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& path);
// The section's key names in file order; empty when the file or section is missing.
std::vector<std::string> getProfileSection(const std::string& section, const std::string& path);
// Writes the key; returns 0 or a system error number.
int writeProfileString(const std::string& section, const std::string& key,
                       const std::string& value, const std::string& path);

} // namespace vardo::os
