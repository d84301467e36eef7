#pragma once
// The four commands on invoice files: create, open, copy and delete. An invoice
// file is named by its path without extension: its table adds ".DBF", its
// settings file ".CFG" and, while it is open, its index ".NTX". Every refused
// check shows its message and offers the dialog again; the person leaves by
// cancelling.

#include <optional>
#include <string>
#include <string_view>

namespace vardo {

class MainFrame;

void NUOVO(MainFrame& frame);
// Without a path, asks for one; with one (command line, recent files) starts
// from it. A password given is tried before asking.
void APRI(MainFrame& frame, std::optional<std::string> path = std::nullopt, std::string password = {});
void COPIA(MainFrame& frame);
void ELIMINA(MainFrame& frame);

// The name rules: ".DBF" appended when the last component has no extension;
// nullopt when the extension is not exactly "DBF".
std::optional<std::string> tablePathOf(std::string_view path);
inline constexpr const char* kOnlyDbf = "Sono ammessi solo file con estensione DBF.";
// True when both files of the invoice file exist (whatever the case of their names).
bool invoiceFileComplete(const std::string& file);
// True when the settings loaded in the caller's scope carry this program's marker.
bool hasProgramMarker();
// Builds the index of the invoice table that is current.
void buildInvoiceIndex(const std::string& file);

} // namespace vardo
