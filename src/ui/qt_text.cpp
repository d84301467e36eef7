#include "ui/qt_text.h"

#include "platform/cp1252.h"

namespace vardo {

QString toQt(std::string_view cp1252) {
    return QString::fromStdString(cp1252ToUtf8(cp1252));
}

std::string fromQt(const QString& text) {
    return utf8ToCp1252(text.toStdString());
}

} // namespace vardo
