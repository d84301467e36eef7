#include "common/messages.h"

#include "common/format.h"
#include "common/ui.h"

namespace vardo {

namespace {

// The wait box of the whole program: at most one is open. nullopt: none open.
std::optional<std::string> gWaitText;
int gPrintPage = 0;

std::string boxText(std::string_view text) {
    std::string out = O2A(text);
    for (char& c : out)
        if (c == ';') c = '\n';
    return out;
}

void closeWait() {
    if (!gWaitText) return;
    gWaitText.reset();
    ui().closeWaitBox();
    ui().pumpEvents();
}

} // namespace

int POPMSG(const PopMsgArgs& args) {
    if (args.type != 0) {
        std::string text = args.text ? boxText(*args.text) : std::string();
        closeWait();
        if (args.type >= MSG_OKCANCEL && args.type <= MSG_STOP) questionBeep();
        int pressed = ui().messageBox(text, args.title.empty() ? "Attenzione" : args.title, args.type);
        ui().pumpEvents();
        switch (args.type) {
        case MSG_INFO: return 0;
        case MSG_YESNOCANCEL: return pressed;
        case MSG_YESNO:
        case MSG_YESNO_NO: return pressed == BTN_YES ? 1 : 0;
        default: return pressed == BTN_OK ? 1 : 0;
        }
    }
    if (args.nextPage) {
        if (gWaitText) ui().setPrintPage(++gPrintPage);
        return 0;
    }
    if (args.print) {
        if (!gWaitText) {
            gPrintPage = 0;
            gWaitText = std::string();
            ui().openPrintProgress();
        }
        return 0;
    }
    if (!args.text) {
        closeWait();
        return 0;
    }
    std::string text = boxText(*args.text);
    if (!gWaitText) {
        gWaitText = *args.text;
        ui().openWaitBox(text, args.title.empty() ? "Attendere" : args.title);
    } else if (args.replace) {
        gWaitText = *args.text;
        ui().setWaitText(text);
    }
    return 0;
}

int POPMSG(std::string_view text, int type, std::string_view title) {
    return POPMSG({.text = std::string(text), .type = type, .title = std::string(title)});
}

void POPMSG(std::string_view waitText) { POPMSG({.text = std::string(waitText)}); }

void POPMSGREPLACE(std::string_view waitText) {
    POPMSG({.text = std::string(waitText), .replace = true});
}

void POPMSG() { POPMSG(PopMsgArgs{}); }

std::optional<std::string> CURMSG() { return gWaitText; }

void shortBeep() { ui().beep(440, 55); }
void questionBeep() { ui().beep(880, 55); }

} // namespace vardo
