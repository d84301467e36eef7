#include "invoice/paid.h"

#include "common/date.h"
#include "common/format.h"
#include "common/window.h"
#include "invoice/amounts.h"
#include "store/engine.h"

namespace vardo {

void SALDATO(Window& window) {
    WorkArea& t = db().current();
    if (t.eof()) return;
    if (trim(t.text("SALDATO")).empty()) {
        t.put("SALDATO", std::string(1, kPaidMarker));
        if (t.date("DATAPAG").empty())
            t.put("DATAPAG", Date::today());
        else if (t.date("DATAPAG2").empty())
            t.put("DATAPAG2", Date::today());
    } else {
        t.put("SALDATO", std::string(" "));
        t.put("DATAPAG", Date());
        t.put("DATAPAG2", Date());
    }
    t.commit();
    t.skip(0);
    if (window.view) window.view->refresh();
}

} // namespace vardo
