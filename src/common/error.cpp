#include "common/error.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/cp1252.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/ui.h"
#include "platform/os.h"

namespace vardo {

namespace {

bool gNetErr = false;

// "bool vardo::Table::open(const string&)" -> "vardo::Table::open".
std::string routineName(const std::source_location& where) {
    std::string f = where.function_name();
    auto paren = f.find('(');
    if (paren != std::string::npos) f.resize(paren);
    auto blank = f.rfind(' ');
    if (blank != std::string::npos) f.erase(0, blank + 1);
    return f;
}

// The fixed message of the handler's table, or nothing when the error is not
// one of the message rows.
std::optional<std::string> fixedMessage(const VardoError& e) {
    const std::string file = upper(e.fileName);
    switch (e.osCode) {
    case os::NotReady: return "Disco " + file + " non pronto.";
    case 27:
    case 31: return "Disco " + file + " non formattato.";
    case os::WriteProtected: return "Disco " + file + " protetto da scrittura.";
    case os::CannotMakeEntry: return "Directory " + file + " piena.";
    default: break;
    }
    // A write that found the disk full is the same case as a copy that could
    // not write all its data: the user must free space, nothing else is wrong.
    if (e.subCode == ES_COPY_INCOMPLETE || e.osCode == os::DiskFull)
        return "Spazio sul disco " + file + " insufficiente.";
    switch (e.osCode) {
    case os::AccessDenied: return "Impossibile accedere al file " + file + ".";
    case os::PathNotFound: return "Percorso " + file + " non trovato.";
    case os::FileNotFound: return "Impossibile aprire il file " + file + ".";
    default: break;
    }
    if (e.subCode == ES_CORRUPT_TABLE || e.genCode == EG_CORRUPTION)
        return "Il file " + file + " risulta corrotto.";
    if (e.genCode == EG_OLE) return ERRORMESSAGE(e);
    return std::nullopt;
}

// Percent-encodes a mailto header value as RFC 6068 requires; text is first
// taken to UTF-8, as the RFC asks of characters outside ASCII.
std::string mailtoEscape(const std::string& cpText) {
    static const std::string allowed =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$'()*+,:@";
    std::string out;
    for (unsigned char c : cp1252ToUtf8(cpText)) {
        if (allowed.find(static_cast<char>(c)) != std::string::npos) {
            out += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

} // namespace

VardoError fileError(int genCode, int osCode, const std::string& fileName,
                     const std::string& operation, std::source_location where) {
    VardoError e;
    e.genCode = genCode;
    e.osCode = osCode;
    e.subsystem = "DBF";
    e.fileName = fileName;
    e.operation = operation;
    e.description = os::describe(osCode);
    e.where = where;
    return e;
}

std::string ERRORMESSAGE(const VardoError& e) {
    std::string out = e.severity > 1 ? "Error " : "Warning ";
    out += e.subsystem.empty() ? "???" : e.subsystem;
    out += e.subCode ? "/" + std::to_string(e.subCode) : "/???";
    if (!e.description.empty()) out += "  " + e.description;
    if (!e.fileName.empty())
        out += ": " + e.fileName;
    else if (!e.operation.empty())
        out += ": " + e.operation;
    out += ";Function: " + routineName(e.where) + "  Line: " + std::to_string(e.where.line());
    return out;
}

std::string errorReportAddress(const std::string& programPath, const std::string& description) {
    std::string body;
    size_t start = 0;
    // "&" and ";" keep their historical forms; the rest is escaped piece by piece.
    for (size_t i = 0; i <= description.size(); ++i) {
        if (i == description.size() || description[i] == '&' || description[i] == ';') {
            body += mailtoEscape(description.substr(start, i - start));
            if (i < description.size()) body += description[i] == '&' ? "%26" : "%0d%0a";
            start = i + 1;
        }
    }
    return "mailto:?subject=" + mailtoEscape("Rapporto di errore") +
           "&body=" + mailtoEscape("Applicazione: " + programPath) + "%0d%0a%0d%0a" + body;
}

ErrorOutcome DEFERROR(const VardoError& e) {
    if (auto message = fixedMessage(e)) {
        POPMSG(*message, MSG_INFO);
        return ErrorOutcome::Abandoned;
    }
    if (e.genCode == EG_ZERODIV) return ErrorOutcome::Defaulted;
    if (e.canDefault && ((e.genCode == EG_OPEN && e.osCode == os::SharingViolation) ||
                         e.genCode == EG_APPENDLOCK)) {
        setNetErr(true);
        return ErrorOutcome::Defaulted;
    }
    std::string description = ERRORMESSAGE(e);
    if (POPMSG(description + ";;Inviare rapporto di errore via email?", MSG_OKCANCEL))
        ui().openWithDesktop(errorReportAddress(os::programPath(), description));
    return ErrorOutcome::ProgramEnds;
}

bool raiseWithDefault(VardoError error) {
    error.canDefault = true;
    switch (DEFERROR(error)) {
    case ErrorOutcome::Defaulted: return true;
    case ErrorOutcome::Abandoned: throw StepAbandoned{};
    case ErrorOutcome::ProgramEnds: throw ProgramEnd{};
    }
    return false;
}

namespace {
std::function<void()> gExitCleanup;
}

void setExitCleanup(std::function<void()> cleanup) { gExitCleanup = std::move(cleanup); }

void runExitCleanup() {
    auto cleanup = std::move(gExitCleanup);
    gExitCleanup = nullptr;
    if (cleanup) cleanup();
}

void endProgram(int exitCode) {
    runExitCleanup();
    std::exit(exitCode);
}

bool NETERR() { return gNetErr; }
void setNetErr(bool value) { gNetErr = value; }

double safeDivide(double dividend, double divisor, std::source_location where) {
    if (divisor != 0.0) return dividend / divisor;
    VardoError e;
    e.genCode = EG_ZERODIV;
    e.subCode = 1340;
    e.subsystem = "BASE";
    e.description = "Zero divisor";
    e.where = where;
    raiseWithDefault(e);
    return 0.0;
}

} // namespace vardo
