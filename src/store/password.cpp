#include "store/password.h"

#include "common/dialog.h"
#include "common/error.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/settings.h"
#include "common/ui.h"

namespace vardo {

namespace {

constexpr int kPasswordLength = 10;

// Bytes 0x80 to 0xA0 scramble into control bytes or a blank, which a settings
// file cannot keep as typed: such a password could never be typed back.
bool storable(const Value& value) {
    for (unsigned char c : asText(value))
        if (c >= 0x80 && c <= 0xA0) return false;
    return true;
}

Dialog passwordDialog(const std::string& templateName, const std::string& label) {
    Dialog d(templateName, "Password");
    d.add({.id = 101,
           .kind = ControlKind::Edit,
           .label = label,
           .value = std::string(kPasswordLength, ' '),
           .picture = "@!",
           .length = kPasswordLength,
           .hidden = true});
    addConfirmCancel(d);
    return d;
}

std::string typed(Dialog& d) { return asText(d.ITEM(101)->value); }

} // namespace

std::string CRYPT(const std::string& text) {
    if (trim(text).empty()) return text;
    std::string out = text;
    for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) + 128);
    return out;
}

std::string GETPASSWD(const std::string& file) {
    SettingsScope scope;
    guarded([&] { scope.load(file + ".CFG"); });
    if (!settingExists("CFG_9999")) return {};
    return trimRight(CRYPT(asText(setting("CFG_9999"))));
}

bool HASPASSWD(const std::string& file) { return !GETPASSWD(file).empty(); }

bool ISPASSWD(const std::string& file, const std::string& candidate) {
    return GETPASSWD(file) == trimRight(candidate);
}

bool PASSWD(const std::string& file) {
    if (!HASPASSWD(file)) return true;
    Dialog d = passwordDialog("PASSWD", "Password:");
    d.ITEM(101)->valid = [](const Value& v) { return !trim(asText(v)).empty(); };
    if (ui().runDialog(d) != 1) return false;
    if (ISPASSWD(file, typed(d))) return true;
    POPMSG("Password non corretta.", MSG_INFO);
    return false;
}

bool PASSWD3(const std::string& first) {
    Dialog d = passwordDialog("PASSWD3", "Ripeti password:");
    if (ui().runDialog(d) != 1) return false;
    if (typed(d) != first) {
        POPMSG("Password non confermata.", MSG_INFO);
        return false;
    }
    return true;
}

void PASSWD2(const std::string& file) {
    SettingsScope scope;
    if (!guarded([&] { scope.load(file + ".CFG"); })) return;
    for (;;) {
        Dialog d = passwordDialog("PASSWD2", "Password:");
        d.ITEM(101)->valid = storable;
        d.add({.id = 203, .kind = ControlKind::Button, .label = "&Elimina", .action = [&d] {
                   d.setBoundValue(d.indexOf(101), std::string(kPasswordLength, ' '));
                   d.confirm();
               }});
        if (ui().runDialog(d) != 1) return;
        std::string value = typed(d);
        bool blank = trim(value).empty();
        if (!blank && !PASSWD3(value)) return;
        scope.set("CFG_9999", blank ? std::string() : CRYPT(value));
        if (guarded([&] { SAVEINI("CFG_*", file + ".CFG"); })) return;
    }
}

} // namespace vardo
