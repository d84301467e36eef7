#pragma once
// The automatic upgrade of the tables that carry user data: before a table is
// used it is compared with its schema and, when a field is missing or differs,
// rebuilt in the schema with its data carried over field by field.

#include "common/value.h"
#include "store/dbf.h"

#include <string>
#include <string_view>
#include <vector>

namespace vardo {

struct TableSchema {
    std::string path; // without extension; an empty path is skipped
    Schema schema;
};

// Creates every missing table and upgrades every one that differs from its
// schema (a table in use by another instance is left alone); false when a
// rebuild failed.
bool CREATEDB(const std::vector<TableSchema>& tables);
// True when the table lacks a schema field or has it with another type, width
// or number of decimals; false also when it cannot be opened (after the message).
bool NEEDUPD(const std::string& path, const Schema& schema);
// Rebuilds the table in the schema; true when the rebuilt table is in place.
// The old table stays untouched until the rebuilt one replaces it in one step.
bool MODITAB(const std::string& path, const Schema& schema);
// The value to store in the new field for a value of the old one.
Value CONVDATO(const Value& value, const FieldDesc& from, const FieldDesc& to);
// An Italian-style number ("1.234,50") in the "." decimal form ("1234.50").
std::string ADJNUM(std::string_view text);

// At start-up: the customer archive CLIENTI of the working folder. At open: an
// invoice file (path without extension). Both end the program (ProgramEnd)
// when the upgrade fails.
void AGGIORNADATABASE();
void AGGIORNADATABASE(const std::string& invoiceFile);

} // namespace vardo
