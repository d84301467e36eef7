#pragma once
// Message boxes, questions, the wait box and beeps.

#include <optional>
#include <string>
#include <string_view>

namespace vardo {

// Every argument of the message call; the callers set what they need.
struct PopMsgArgs {
    std::optional<std::string> text;
    int type = 0;          // 1..6: a modal box; 0: a wait-box action
    std::string title;     // default "Attenzione" for boxes, "Attendere" for the wait box
    bool replace = false;  // new text for the open wait box
    bool print = false;    // open the print-progress box
    bool nextPage = false; // advance the print-progress page
};

// With a type: the modal box of that type (any wait box is closed first; types
// 2 to 6 beep at 880 Hz), returning 1 for OK/Yes-like results as the type says:
// types 2, 4, 5, 6 give 1 (true) or 0; type 3 gives 6, 7 or 2; type 1 gives 0.
// Without a type: opens, replaces, advances or closes the wait box.
int POPMSG(const PopMsgArgs& args);

// The forms the program uses most.
int POPMSG(std::string_view text, int type, std::string_view title = {});
void POPMSG(std::string_view waitText);    // opens the wait box when none is open
void POPMSGREPLACE(std::string_view waitText);
void POPMSG();                             // closes the wait box

// The current wait text: nullopt when no wait box is open.
std::optional<std::string> CURMSG();

// 440 Hz for a command without a current record; 880 Hz before a question.
void shortBeep();
void questionBeep();

} // namespace vardo
