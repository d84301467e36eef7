#include "store/schemas.h"

#include <cstdio>

namespace vardo {

namespace {

FieldDesc text(const char* name, int width) {
    return {name, 'C', width, 0};
}
FieldDesc whole(const char* name, int width) {
    return {name, 'N', width, 0};
}

Schema buildInvoiceSchema() {
    Schema s = {whole("NUMERO", 3), text("CLIENTE", 35)};
    for (int i = 1; i <= 5; ++i) s.push_back(text(("DESCR" + std::to_string(i)).c_str(), 35));
    s.insert(s.end(), {text("INTESTAZ", 20),
                       text("INDIRIZZO", 35),
                       text("LOCALITA", 35),
                       text("PROVINCIA", 2),
                       text("CAP", 7),
                       text("PIVA", 11),
                       text("CODFISC", 16),
                       {"CEE", 'L', 1, 0},
                       {"DATA", 'D', 8, 0},
                       whole("NBOLLA", 3),
                       {"DBOLLA", 'D', 8, 0},
                       text("PAGAMENTO", 25),
                       text("SALDATO", 1),
                       {"DATAPAG", 'D', 8, 0},
                       {"DATAPAG2", 'D', 8, 0},
                       text("RITACC", 1)});
    for (int line = 1; line <= 10; ++line) {
        char n[3];
        std::snprintf(n, sizeof n, "%02d", line);
        s.push_back(whole((std::string("QUANT") + n).c_str(), 3));
        // The last line has room for a longer closing remark.
        s.push_back(text((std::string("DESCR") + n).c_str(), line == 10 ? 110 : 65));
        s.push_back({std::string("IMPOR") + n, 'N', 9, 2});
    }
    s.insert(s.end(),
             {whole("ALIQIVA", 2), whole("ALIQINPS", 2), whole("ALIQRA", 2), {"XML", 'L', 1, 0}});
    return s;
}

} // namespace

const Schema& invoiceSchema() {
    static const Schema schema = buildInvoiceSchema();
    return schema;
}

const Schema& customerSchema() {
    static const Schema schema = [] {
        Schema s = {text("RAGSOC", 35)};
        for (int i = 1; i <= 5; ++i) s.push_back(text(("DESCR" + std::to_string(i)).c_str(), 35));
        s.insert(s.end(),
                 {text("COGNOMEPF", 20), text("NOMEPF", 20), text("INTESTAZ", 20),
                  text("INDIRIZZO", 35), text("LOCALITA", 35), text("PROVINCIA", 2), text("CAP", 7),
                  text("PIVA", 11), text("CODFISC", 16), text("PAGAMENTO", 25), text("RITACC", 1),
                  text("CODICESDI", 7), text("PEC", 60), text("MODPAG", 20)});
        return s;
    }();
    return schema;
}

const Schema& netSchema() {
    static const Schema schema = {text("LOCK", 1)};
    return schema;
}

} // namespace vardo
