#include "store/upgrade.h"

#include "common/error.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/round.h"
#include "common/ui.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/filenames.h"
#include "store/schemas.h"
#include "store/utilities.h"

#include <cstdio>

namespace vardo {

namespace {

const char* const kUpgrading = "Aggiornamento archivi in corso...";

// A number written with `decimals` decimals, without leading blanks.
std::string decimalText(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, roundHalfAway(value, decimals));
    return buf;
}

// The number rounded to the field's decimals; 0 when it does not fit its width.
double fitted(double value, const FieldDesc& to) {
    double rounded = roundHalfAway(value, to.decimals);
    std::string stored(static_cast<size_t>(to.width), ' ');
    formatNumber(rounded, to.width, to.decimals, stored.data());
    return stored[0] == '*' ? 0.0 : rounded;
}

} // namespace

std::string ADJNUM(std::string_view text) {
    if (text.find(',') == std::string_view::npos) return std::string(text);
    std::string out;
    for (char c : text) {
        if (c == '.') continue;
        out += c == ',' ? '.' : c;
    }
    return out;
}

Value CONVDATO(const Value& value, const FieldDesc& from, const FieldDesc& to) {
    // Types this program never writes were read as text, and convert as text.
    const char o =
        std::string_view("CMDNL").find(from.type) != std::string_view::npos ? from.type : 'C';
    const char n = to.type;
    const bool textual = o == 'C' || o == 'M';
    if (textual && n == 'D') {
        const std::string& t = asText(value);
        Date d = Date::fromDmy(t);
        return d.empty() ? Date::fromStorage(trim(t).substr(0, 8)) : d;
    }
    if (textual && n == 'N') return fitted(numberOfText(ADJNUM(asText(value))), to);
    if (textual && n == 'L') {
        const std::string& t = asText(value);
        return !trim(t).empty() && !upper(t).starts_with(".F.");
    }
    if (o == 'D' && n == 'N') {
        Date d = asDate(value);
        return fitted(d.empty() ? 0.0 : numberOfText(d.storage()), to);
    }
    if (o == 'D' && n == 'L') return !asDate(value).empty();
    if (o == 'N' && n == 'L') return asNumber(value) != 0.0;
    if (o == 'N' && n == 'N') return fitted(asNumber(value), to);
    if (o == 'M' && n == 'C') {
        const std::string& t = asText(value);
        std::string out;
        for (size_t i = 0; i < t.size(); ++i) {
            bool pair = t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n';
            out += pair ? ' ' : t[i];
            if (pair) ++i;
        }
        return out;
    }
    if (o == 'D' && n == 'C') return asDate(value).listText();
    if (o == 'N' && n == 'C') {
        double v = asNumber(value);
        return v == 0.0 ? std::string() : decimalText(v, from.decimals);
    }
    if (o == 'L' && n == 'C') return std::string(asBool(value) ? ".T." : "");
    if (o == 'N' && n == 'D')
        return Date::fromStorage(decimalText(asNumber(value), from.decimals).substr(0, 8));
    if (o == 'L' && n == 'D') return Date();
    if (o == 'L' && n == 'N') return asBool(value) ? 1.0 : 0.0;
    return value;
}

bool NEEDUPD(const std::string& path, const Schema& schema) {
    const int previous = db().currentNumber();
    const std::string alias = GETNEWALIAS();
    bool needed = false;
    guarded([&] {
        DBOPEN(true, path + ".DBF", alias, true, true);
        WorkArea& table = db().current();
        for (const auto& f : schema) {
            int pos = table.fieldPos(f.name);
            if (pos == 0 || table.field(pos).type != f.type || table.field(pos).width != f.width ||
                table.field(pos).decimals != f.decimals) {
                needed = true;
                return;
            }
        }
    });
    guarded([&] { DBCLOSE(alias); });
    db().select(previous);
    return needed;
}

bool MODITAB(const std::string& path, const Schema& schema) {
    const std::string temp = path.substr(0, path.rfind('/') + 1) + "TEMPDBF_";
    const int previous = db().currentNumber();
    bool rebuilt = guarded([&] {
        DBGEN(temp + ".DBF", schema);
        DBOPEN(true, temp + ".DBF", "NEW", false, false);
        WorkArea& fresh = db().current();
        DBOPEN(true, path + ".DBF", "OLD", true, false);
        WorkArea& old = db().current();

        // Each new field takes the first old field whose name begins with its name.
        std::vector<int> source(schema.size(), 0);
        for (size_t i = 0; i < schema.size(); ++i) {
            for (size_t j = 1; j <= old.fieldCount(); ++j) {
                if (old.field(static_cast<int>(j)).name.starts_with(schema[i].name)) {
                    source[i] = static_cast<int>(j);
                    break;
                }
            }
        }
        db().select("NEW");
        for (old.goTop(); !old.eof(); old.skip(1)) {
            DBAPP();
            for (size_t i = 0; i < schema.size(); ++i) {
                if (!source[i]) continue;
                fresh.put(static_cast<int>(i + 1),
                          CONVDATO(old.get(source[i]), old.field(source[i]), schema[i]));
            }
        }
        fresh.commit();

        // The rebuilt table replaces the old one in one rename, while both are
        // still held: until then the old table is untouched, and no other
        // instance can get at either in between.
        const std::string oldFile = tableFile(path + ".DBF");
        if (os::replaceFile(fresh.path(), oldFile) != os::Ok) {
            POPMSG("Impossibile rinominare il file " + temp + ".DBF in " + path + ".DBF.",
                   MSG_INFO);
            throw StepAbandoned{};
        }
        DBCLOSE("NEW");
        DBCLOSE("OLD");
        for (const std::string& memo : {tableFile(path + ".DBT"), tableFile(temp + ".DBT")})
            if (os::exists(memo)) os::removeFile(memo);
    });
    guarded([] {
        DBCLOSE("NEW");
        DBCLOSE("OLD");
    });
    db().select(previous);
    return rebuilt;
}

bool CREATEDB(const std::vector<TableSchema>& tables) {
    POPMSG("Verifica archivi in corso...");
    bool ok = guarded([&] {
        for (const auto& t : tables) {
            if (t.path.empty()) continue;
            if (!os::exists(tableFile(t.path + ".DBF"))) {
                POPMSGREPLACE(kUpgrading);
                DBGEN(t.path + ".DBF", t.schema);
            }
            if (NETUSED(t.path + ".DBF")) continue;
            if (!t.schema.empty() && NEEDUPD(t.path, t.schema)) {
                POPMSGREPLACE(kUpgrading);
                if (!MODITAB(t.path, t.schema)) throw StepAbandoned{};
            }
        }
    });
    POPMSG();
    return ok;
}

void AGGIORNADATABASE() {
    if (!CREATEDB({{"CLIENTI", customerSchema()}})) throw ProgramEnd{};
}

void AGGIORNADATABASE(const std::string& invoiceFile) {
    if (!CREATEDB({{invoiceFile, invoiceSchema()}})) throw ProgramEnd{};
}

} // namespace vardo
