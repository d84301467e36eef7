#pragma once
// The error model. Every run-time error is one VardoError, thrown where it is
// raised and handed to the one handler, DEFERROR, by the nearest guarded step.
// The handler shows a fixed Italian message and tells the step to give up, lets
// a default apply quietly (division by zero, another user holding a table), or
// reports the error and ends the program.

#include <functional>
#include <source_location>
#include <string>

namespace vardo {

// General error codes.
enum ErrorCode : int {
    EG_ARG = 1,
    EG_BOUND = 2,
    EG_ZERODIV = 5,
    EG_NOVAR = 14,
    EG_NOALIAS = 15,
    EG_CREATE = 20,
    EG_OPEN = 21,
    EG_CLOSE = 22,
    EG_READ = 23,
    EG_WRITE = 24,
    EG_CORRUPTION = 32,
    EG_DATATYPE = 33,
    EG_SHARED = 37,
    EG_READONLY = 39,
    EG_APPENDLOCK = 40,
    EG_LOCK = 41,
    EG_OLE = 1001,
};

// Subcodes the handler's table names.
enum ErrorSubCode : int {
    ES_CORRUPT_TABLE = 1012,
    ES_COPY_INCOMPLETE = 2016,
};

struct VardoError {
    int genCode = 0;
    int subCode = 0;          // 0: none
    int osCode = 0;           // system error number (platform/os.h); 0: none
    std::string subsystem;    // empty: none
    int severity = 2;         // above 1 is an error, otherwise a warning
    std::string fileName;
    std::string operation;
    std::string description;
    bool canDefault = false;  // the raiser can carry on with a default value
    std::source_location where = std::source_location::current();
};

// A file or table error: general code, system error, file name.
VardoError fileError(int genCode, int osCode, const std::string& fileName,
                     const std::string& operation = {},
                     std::source_location where = std::source_location::current());

enum class ErrorOutcome {
    Defaulted,   // no message; the raiser carries on with its default
    Abandoned,   // a message was shown; the guarded step gives up
    ProgramEnds, // reported; the program must end (after its exit clean-up)
};

// Thrown when the program must end after an error report, to unwind to the
// entry point, which runs the exit clean-up. Not an std::exception on purpose:
// nothing on the way may swallow it.
struct ProgramEnd {
    int exitCode = 1;
};

// Thrown by raiseWithDefault when the handler already showed its message, so
// that the guarded step gives up without handling the error twice.
struct StepAbandoned {};

// The exit clean-up of the run (closing tables, removing the instance folder),
// registered once by start-up. runExitCleanup runs it at most once; endProgram
// runs it and ends the process, for the front end to call when a ProgramEnd
// reaches it inside an event handler, where it must not unwind further.
void setExitCleanup(std::function<void()> cleanup);
void runExitCleanup();
[[noreturn]] void endProgram(int exitCode);

// The handler of every run-time error.
ErrorOutcome DEFERROR(const VardoError& error);
// The one-text description of an error, as the error report shows it.
std::string ERRORMESSAGE(const VardoError& error);
// The mailto address of the error report for a description (RFC 6068).
std::string errorReportAddress(const std::string& programPath, const std::string& description);

// Runs one guarded step: an error raised inside goes to DEFERROR; the result
// is false when the step was abandoned. ProgramEnd passes through.
template <class Step> bool guarded(Step&& step) {
    try {
        step();
        return true;
    } catch (const VardoError& e) {
        if (DEFERROR(e) == ErrorOutcome::ProgramEnds) throw ProgramEnd{};
        return false;
    } catch (const StepAbandoned&) {
        return false;
    }
}

// Raises an error whose default the raiser can apply (canDefault set): true when
// the handler let the default apply; otherwise the error is thrown on.
bool raiseWithDefault(VardoError error);

// The network-error flag: set quietly by the handler when an open or append
// failed because another user holds the table.
bool NETERR();
void setNetErr(bool value);

// Division as amount computations use it: a zero divisor yields 0.
double safeDivide(double dividend, double divisor,
                  std::source_location where = std::source_location::current());

} // namespace vardo
