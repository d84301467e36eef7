#pragma once
// The mark that an invoice's electronic invoice was exported or sent; the
// person can flip it by hand from the "XML" column of the invoice-file window.

namespace vardo {

struct Window;

// Inverts the XML field of the current record, writes it at once and redraws.
void XML(Window& window);

} // namespace vardo
