#pragma once
// The password of an invoice file: asked when the file is opened, set, changed
// or removed from its window. It is kept lightly scrambled as CFG_9999 in the
// file's settings file; an empty value means no password.

#include <string>

namespace vardo {

// Scrambles or unscrambles (the same operation): every byte b becomes
// (b + 128) mod 256; an empty or all-blank text is returned unchanged.
std::string CRYPT(const std::string& text);
// The password of the invoice file (path without extension); empty when none.
std::string GETPASSWD(const std::string& file);
bool HASPASSWD(const std::string& file);
// True when the candidate without trailing blanks is the file's password.
bool ISPASSWD(const std::string& file, const std::string& candidate);
// True when the file may be opened: it has no password, or the person typed it.
bool PASSWD(const std::string& file);
// Sets, changes or removes the password.
void PASSWD2(const std::string& file);
// True when the person types the same password again.
bool PASSWD3(const std::string& first);

} // namespace vardo
