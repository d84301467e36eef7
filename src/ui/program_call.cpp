#include "ui/program_call.h"

#include "common/error.h"

#include <exception>

namespace vardo {

namespace {

void handleUnguarded(const VardoError& error) {
    ErrorOutcome outcome = ErrorOutcome::ProgramEnds;
    try {
        outcome = DEFERROR(error);
    } catch (const ProgramEnd& end) {
        endProgram(end.exitCode);
    } catch (...) {
        endProgram(1);
    }
    if (outcome == ErrorOutcome::ProgramEnds) endProgram(1);
}

} // namespace

void callProgram(const std::function<void()>& step) {
    try {
        step();
    } catch (const ProgramEnd& end) {
        endProgram(end.exitCode);
    } catch (const StepAbandoned&) {
        // the handler has already shown its message
    } catch (const VardoError& error) {
        handleUnguarded(error);
    } catch (const std::exception& e) {
        VardoError error;
        error.description = e.what();
        handleUnguarded(error);
    } catch (...) {
        VardoError error;
        error.description = "unknown exception";
        handleUnguarded(error);
    }
}

} // namespace vardo
