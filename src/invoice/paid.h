#pragma once
// The paid state of an invoice, toggled from the "S" column of its window.

namespace vardo {

struct Window;

// Toggles the paid state of the current record: marking it paid fills the first
// empty payment date with today; unmarking clears both dates. Writes the record
// at once and redraws the window.
void SALDATO(Window& window);

} // namespace vardo
