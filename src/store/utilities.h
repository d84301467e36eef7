#pragma once
// The table utilities every part of the program calls: opening and closing
// with waits for other users, locks and appends that wait, deletion with its
// question, table creation after the disk check, and the orders, views and
// type-ahead search of the browse grids. They work on the current work area.

#include "common/value.h"
#include "store/dbf.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vardo {

// Opens the table, waiting as long as another user holds it in a conflicting
// mode (behind "E' in corso un'operazione di sistema..." for a shared open,
// "Spegnere tutti i terminali..." for an exclusive one); returns with the table open.
void DBOPEN(bool newArea, const std::string& path, const std::string& alias, bool shared,
            bool readOnly);
// Closes the table of that alias (default: the current one) with its view index.
void DBCLOSE(const std::string& alias = {});
// Closes every table, makes area 1 current and erases every view index.
void CLOSEALL();
// True when the file (".DBF" added when it has no extension) exists and cannot
// be opened exclusively now.
bool NETUSED(const std::string& path);
// Locks the current record (true) or the file (false), waiting until it can.
void DBLOCK(bool record);
// Appends a blank record and locks it, waiting until it can.
void DBAPP();
// Marks the current record deleted; the record that followed it becomes current.
void DBDEL(bool commit = true);
// Asks "Confermi la cancellazione?" and deletes the current record; false when
// there is none (a short beep) or the user cancels.
bool DELREC();
// Creates the table after checking the disk; abandons the caller's guarded step
// (StepAbandoned, the message already shown) when it is not ready or too full.
void DBGEN(const std::string& path, const Schema& fields, uint64_t minFree = 8192);
// "ALIAS" and the number of the first free work area, three digits at least.
std::string GETNEWALIAS();

// Builds an order with the pending condition (".NTX" added to a bag without
// extension, "FIELD -> " removed from the key text); it becomes controlling.
void ORDBUILD(const std::string& bag, const std::string& tag, const std::string& keyText,
              std::function<Value()> keyFunction = {}, bool unique = false);
void ORDADD(const std::string& bag);
// The bag files of the open orders, first to last, except the one given.
std::vector<std::string> ORDLIST(const std::string& excluded);
// Adds every bag of the list.
void ORDLIST(const std::vector<std::string>& bags);
// The file holding order n; empty text when there is none.
std::string ORDBAGNAME(int order);

// A filtered and ordered view of the current table: the records for which the
// condition holds, by the key text (default: the controlling order's key, or
// physical order), made the controlling order and positioned at the top.
// The condition text is the caller's description of the condition.
void DBSETVIEW(std::function<bool()> condition, const std::string& conditionText,
               const std::string& keyText = {});
// Removes the view: the order that was controlling before it comes back.
void DBCLEARVIEW();

// Type-ahead search of a browse grid over a character order. `browse` redraws
// the grid; without it the search text is emptied.
void KEYSEARCH(const std::function<void()>& browse = {}, int keyCode = 0,
               const std::string& prefix = {});

} // namespace vardo
