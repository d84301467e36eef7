#include "einvoice/exported_mark.h"

#include "common/window.h"
#include "store/engine.h"

namespace vardo {

void XML(Window& window) {
    WorkArea& t = db().current();
    if (t.eof()) return;
    t.put("XML", !t.logical("XML"));
    t.commit();
    t.skip(0);
    if (window.view) window.view->refresh();
}

} // namespace vardo
