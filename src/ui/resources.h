#pragma once
// The bitmaps and icons compiled into the program, by the names the program
// gives them ("SELECT", "NUOVO", "ICONA").

#include <QIcon>
#include <QPixmap>
#include <string_view>

namespace vardo {

// The bitmap; a drawn one (SVG) at `edge` pixels square when edge > 0, else at
// its own size. A null pixmap when the program names no such bitmap.
QPixmap bitmap(std::string_view name, int edge = 0);
QIcon iconOf(std::string_view name);

} // namespace vardo
