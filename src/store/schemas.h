#pragma once
// The tables of the program: the invoice table of every invoice file, the
// customer archive and the one-record table NET.

#include "store/dbf.h"

namespace vardo {

// 57 fields; record length 1225, header length 1858.
const Schema& invoiceSchema();
// CLIENTI.DBF: 20 character fields; record length 490, header length 674.
const Schema& customerSchema();
// NET: one character field LOCK of width 1.
const Schema& netSchema();

} // namespace vardo
