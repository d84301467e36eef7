#include "ui/resources.h"

#include "common/format.h"
#include "ui/qt_text.h"

#include <QFile>
#include <QHash>
#include <QImageReader>

// The resources live in a static library: nothing refers to them by symbol, so
// the linker would drop them without this explicit registration.
static void registerResources() {
    Q_INIT_RESOURCE(vardo);
}

namespace vardo {

namespace {

QString resourcePath(std::string_view name) {
    static const bool registered = (registerResources(), true);
    (void)registered;
    QString base = ":/vardo/" + toQt(upper(name));
    for (const char* ext : {".png", ".svg"})
        if (QFile::exists(base + ext)) return base + ext;
    return {};
}

} // namespace

QPixmap bitmap(std::string_view name, int edge) {
    static QHash<QString, QPixmap> cache;
    QString key = toQt(upper(name)) + '@' + QString::number(edge);
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) return *found;
    QPixmap pixmap;
    QString path = resourcePath(name);
    if (!path.isEmpty()) {
        QImageReader reader(path);
        if (edge > 0 && path.endsWith(".svg")) reader.setScaledSize(QSize(edge, edge));
        pixmap = QPixmap::fromImage(reader.read());
    }
    cache.insert(key, pixmap);
    return pixmap;
}

QIcon iconOf(std::string_view name) {
    QIcon icon;
    for (int edge : {16, 32, 48}) {
        QPixmap p = bitmap(name, edge);
        if (!p.isNull()) icon.addPixmap(p);
    }
    return icon;
}

} // namespace vardo
