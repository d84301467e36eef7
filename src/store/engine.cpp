#include "store/engine.h"

#include "common/error.h"
#include "common/format.h"
#include "store/filenames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <random>
#include <utility>

namespace vardo {

namespace {

// What an area without a table reads: a live, blank nothing.
const char kNoRecord[1] = {' '};

[[noreturn]] void raiseProgramError(int genCode, const std::string& what,
                                    const std::string& operation = {}) {
    VardoError e;
    e.genCode = genCode;
    e.subsystem = "DBCMD";
    e.description = what;
    e.operation = operation;
    throw e;
}

// Condition functions of the bags built in this run, so that an order added
// again from its bag keeps filtering as it was built.
std::unordered_map<std::string, std::function<bool()>>& bagConditions() {
    static std::unordered_map<std::string, std::function<bool()>> conditions;
    return conditions;
}

// Condition and key functions read "the current record": while an area
// evaluates them for its own records it is made the current one.
class AsCurrent {
public:
    explicit AsCurrent(int area) : previous_(db().currentNumber()) { db().select(area); }
    ~AsCurrent() { db().select(previous_); }
    AsCurrent(const AsCurrent&) = delete;
    AsCurrent& operator=(const AsCurrent&) = delete;

private:
    int previous_;
};

// A name no other bag in the temporary folder has, whichever instance made it.
std::string temporaryBagPath() {
    static std::mt19937 pick{std::random_device{}()};
    for (;;) {
        char name[32];
        std::snprintf(name, sizeof name, "/VARDO%08X.NTX", static_cast<unsigned>(pick()));
        std::string path = os::tempDirectory() + name;
        if (!os::exists(path)) return path;
    }
}

} // namespace

// --- opening and closing ------------------------------------------------------

WorkArea::WorkArea(int number) : number_(number), current_(kNoRecord) {}

bool WorkArea::open(const std::string& file, const std::string& alias, bool shared, bool readOnly) {
    close();
    if (table_.open(file, shared, readOnly) != os::Ok) return false;
    alias_ = alias;
    const Schema& fields = table_.fields();
    for (size_t i = 0; i < fields.size(); ++i)
        fieldPos_.emplace(fields[i].name, static_cast<int>(i + 1));
    const size_t length = table_.recordLength();
    blank_.assign(length, ' ');
    read_.assign(length, ' ');
    work_.assign(length, ' ');
    goTop();
    return true;
}

void WorkArea::close() {
    if (!used()) return;
    std::exception_ptr failure;
    try {
        flush();
    } catch (...) {
        failure = std::current_exception();
    }
    dropOrders();
    try {
        table_.close();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    alias_.clear();
    fieldPos_.clear();
    dirty_ = false;
    current_ = kNoRecord;
    recno_ = 0;
    eof_ = bof_ = true;
    found_ = false;
    pending_ = {};
    if (failure) std::rethrow_exception(failure);
}

void WorkArea::requireTable() const {
    if (!used()) raiseProgramError(EG_NOALIAS, "Workarea not in use");
}

void WorkArea::requireWritable() const {
    requireTable();
    if (readOnly()) {
        VardoError e = fileError(EG_READONLY, 0, path());
        e.description = "Table is read-only";
        throw e;
    }
}

// --- the current record ---------------------------------------------------------

uint32_t WorkArea::recordCount() {
    requireTable();
    return table_.recordCount();
}

bool WorkArea::load(uint32_t r) {
    orderPosValid_ = false;
    dirty_ = false;
    if (r < 1 || r > table_.knownCount()) {
        toEnd();
        return false;
    }
    recno_ = r;
    current_ = table_.record(r, read_.data());
    eof_ = false;
    return true;
}

void WorkArea::reload() {
    if (eof_)
        toEnd();
    else
        load(recno_);
}

void WorkArea::toEnd() {
    recno_ = table_.knownCount() + 1;
    current_ = blank_.data();
    eof_ = true;
    dirty_ = false;
    orderPosValid_ = false;
}

const char* WorkArea::original() {
    // A shared record is kept as it was read; an exclusive one nobody else changes.
    return table_.shared() ? read_.data() : table_.record(recno_, read_.data());
}

void WorkArea::makeDirty() {
    if (dirty_) return;
    std::memcpy(work_.data(), current_, work_.size());
    current_ = work_.data();
    dirty_ = true;
}

void WorkArea::flush() {
    if (!dirty_) return;
    // Every order's change is worked out before the write and applied after it,
    // so that a failed write leaves the orders as they were.
    struct Change {
        std::optional<size_t> oldPos;
        bool in = false;
        std::string key;
    };
    std::vector<Change> changes(orders_.size());
    AsCurrent here(number_);
    const char* old = original();
    const bool newLive = work_[0] != '*';
    for (size_t i = 0; i < orders_.size(); ++i) {
        Order& o = orders_[i];
        Change& c = changes[i];
        c.oldPos = o.entryOf(old, recno_);
        c.in = newLive && o.accepts(work_.data(), recno_);
        if (c.in) o.keyOf(work_.data(), recno_, c.key);
    }
    table_.writeRecord(recno_, work_.data());
    dirty_ = false;
    for (size_t i = 0; i < orders_.size(); ++i) {
        Order& o = orders_[i];
        Change& c = changes[i];
        if (c.oldPos && c.in && o.keyAt(*c.oldPos) == c.key) continue;
        if (c.oldPos) o.erase(*c.oldPos);
        if (c.in) o.insert(c.key, recno_);
    }
    std::memcpy(read_.data(), work_.data(), read_.size());
    current_ = table_.shared() ? read_.data() : table_.record(recno_, read_.data());
    orderPosValid_ = false;
}

// --- movement ---------------------------------------------------------------------

size_t WorkArea::orderPosition() {
    Order* o = controlling();
    if (eof_) return o->size();
    if (!orderPosValid_) {
        AsCurrent here(number_);
        orderPos_ = o->placeOf(current_, recno_);
        orderPosValid_ = true;
    }
    return orderPos_;
}

bool WorkArea::loadAt(size_t pos) {
    if (!load(controlling()->recnoAt(pos)) || !live()) return false;
    orderPos_ = pos;
    orderPosValid_ = true;
    return true;
}

bool WorkArea::stepForward() {
    if (Order* o = controlling()) {
        size_t pos = orderPosition();
        if (pos < o->size() && o->recnoAt(pos) == recno_) ++pos;
        for (; pos < o->size(); ++pos)
            if (loadAt(pos)) return true;
        return false;
    }
    if (eof_) return false;
    for (uint32_t r = recno_ + 1; r <= table_.knownCount(); ++r)
        if (load(r) && live()) return true;
    return false;
}

bool WorkArea::stepBack() {
    if (controlling()) {
        for (size_t pos = orderPosition(); pos-- > 0;)
            if (loadAt(pos)) return true;
        return false;
    }
    for (uint32_t r = eof_ ? table_.knownCount() : recno_ - 1; r >= 1; --r)
        if (load(r) && live()) return true;
    return false;
}

void WorkArea::startMove() {
    requireTable();
    flush();
    table_.recordCount();
    found_ = bof_ = false;
}

void WorkArea::goTop() {
    startMove();
    eof_ = false;
    if (Order* o = controlling()) {
        for (size_t pos = 0; pos < o->size(); ++pos)
            if (loadAt(pos)) return;
    } else {
        for (uint32_t r = 1; r <= table_.knownCount(); ++r)
            if (load(r) && live()) return;
    }
    toEnd();
    bof_ = true;
}

void WorkArea::goBottom() {
    startMove();
    eof_ = false;
    if (Order* o = controlling()) {
        for (size_t pos = o->size(); pos-- > 0;)
            if (loadAt(pos)) return;
    } else {
        for (uint32_t r = table_.knownCount(); r >= 1; --r)
            if (load(r) && live()) return;
    }
    toEnd();
    bof_ = true;
}

void WorkArea::goTo(uint32_t r) {
    startMove();
    load(r);
}

void WorkArea::skip(long n) {
    startMove();
    if (n == 0) {
        if (!eof_) load(recno_);
        return;
    }
    for (; n > 0; --n) {
        if (!stepForward()) {
            toEnd();
            return;
        }
    }
    for (; n < 0; ++n) {
        if (!stepBack()) {
            goTop();
            bof_ = true;
            return;
        }
    }
}

bool WorkArea::seek(const Value& key) {
    startMove();
    Order* o = controlling();
    if (o) {
        std::string prefix = KeyExpr::seekBytes(key, o->keyType(), o->keyLength());
        for (size_t pos = o->findPrefix(prefix);
             pos < o->size() && o->keyAt(pos).substr(0, prefix.size()) == prefix; ++pos) {
            if (loadAt(pos)) {
                found_ = true;
                return true;
            }
        }
    }
    toEnd();
    return false;
}

// --- records ------------------------------------------------------------------------

void WorkArea::append() {
    requireWritable();
    flush();
    setNetErr(false);
    found_ = false;
    uint32_t r = table_.appendBlank();
    if (r == 0) {
        raiseWithDefault(fileError(EG_APPENDLOCK, os::LockViolation, path()));
        return;
    }
    load(r);
    bof_ = false;
    AsCurrent here(number_);
    std::string key;
    for (Order& o : orders_) {
        if (!o.accepts(current_, r)) continue;
        o.keyOf(current_, r, key);
        o.insert(key, r);
    }
}

void WorkArea::markDeleted() {
    requireWritable();
    if (eof_) return;
    makeDirty();
    work_[0] = '*';
}

void WorkArea::recall() {
    requireWritable();
    if (eof_) return;
    makeDirty();
    work_[0] = ' ';
}

void WorkArea::commit() {
    requireTable();
    flush();
    table_.sync();
}

void WorkArea::pack() {
    requireWritable();
    if (shared()) {
        VardoError e = fileError(EG_SHARED, 0, path());
        e.description = "Exclusive required";
        throw e;
    }
    flush();
    if (table_.pack()) {
        for (Order& o : orders_) {
            buildEntries(o, false);
            o.write();
        }
    }
    goTop();
}

// --- fields ---------------------------------------------------------------------------

int WorkArea::fieldPos(std::string_view name) const {
    auto it = fieldPos_.find(name);
    if (it != fieldPos_.end()) return it->second;
    it = fieldPos_.find(upper(trim(name)));
    return it != fieldPos_.end() ? it->second : 0;
}

int WorkArea::requireField(std::string_view name) const {
    requireTable();
    int pos = fieldPos(name);
    if (pos == 0) raiseProgramError(EG_NOVAR, "Variable does not exist", std::string(name));
    return pos;
}

void WorkArea::requireFieldPos(int pos) const {
    requireTable();
    if (pos < 1 || static_cast<size_t>(pos) > fieldCount())
        raiseProgramError(EG_ARG, "Argument error", std::to_string(pos));
}

Value WorkArea::get(int pos) {
    requireFieldPos(pos);
    return table_.value(static_cast<size_t>(pos - 1), current_);
}

void WorkArea::put(int pos, const Value& value) {
    requireWritable();
    requireFieldPos(pos);
    if (eof_) return;
    makeDirty();
    const auto index = static_cast<size_t>(pos - 1);
    encodeField(table_.fields()[index], value, work_.data() + table_.fieldOffset(index));
}

// --- orders -------------------------------------------------------------------------------

void WorkArea::buildEntries(Order& order, bool useCurrentOrder) {
    std::string keys, key;
    std::vector<uint32_t> recnos;
    const bool callsBack = order.needsCurrentRecord();
    AsCurrent here(number_);
    auto consider = [&](uint32_t r) {
        const char* rec;
        if (callsBack) {
            if (!load(r)) return;
            rec = current_;
        } else {
            rec = table_.record(r, read_.data());
        }
        if (rec[0] == '*' || !order.accepts(rec, r)) return;
        order.keyOf(rec, r, key);
        keys += key;
        recnos.push_back(r);
    };
    const uint32_t count = table_.recordCount();
    if (Order* o = controlling(); useCurrentOrder && o) {
        std::vector<uint32_t> inOrder;
        for (size_t pos = 0; pos < o->size(); ++pos) inOrder.push_back(o->recnoAt(pos));
        for (uint32_t r : inOrder)
            if (r <= count) consider(r);
    } else {
        keys.reserve(static_cast<size_t>(count) * order.keyLength());
        recnos.reserve(count);
        for (uint32_t r = 1; r <= count; ++r) consider(r);
    }
    order.assign(std::move(keys), std::move(recnos));
    reload();
}

void WorkArea::createOrder(const std::string& bag, const std::string& tag,
                           const std::string& keyText, std::function<Value()> keyFunction,
                           bool unique) {
    requireTable();
    flush();
    OrderCondition condition = std::exchange(pending_, {});
    const bool useCurrentOrder = condition.useCurrentOrder;
    std::function<bool()> filter = condition.function;
    std::string path = condition.temporary ? temporaryBagPath() : tableFile(bag);
    std::string name = upper(tag.empty() ? baseName(bag).substr(0, 10) : tag);

    Order order(name, keyText, std::move(keyFunction), std::move(condition), unique, structure());
    order.setBagPath(path);
    buildEntries(order, useCurrentOrder);
    order.write();
    if (filter)
        bagConditions()[path] = std::move(filter);
    else
        bagConditions().erase(path);

    auto same = std::find_if(orders_.begin(), orders_.end(),
                             [&](const Order& o) { return o.bagPath() == path; });
    if (same != orders_.end()) {
        *same = std::move(order);
        controlling_ = static_cast<int>(same - orders_.begin()) + 1;
    } else {
        orders_.push_back(std::move(order));
        controlling_ = orderCount();
    }
    goTop();
}

void WorkArea::orderListAdd(const std::string& bag) {
    requireTable();
    flush();
    std::string path = tableFile(bag);
    for (const Order& o : orders_)
        if (o.bagPath() == path) return;
    auto known = bagConditions().find(path);
    Order order =
        Order::read(path, structure(), known != bagConditions().end() ? known->second : nullptr);
    // A bag that counts records the table does not have was left from an
    // earlier table of that name: its texts are good, its entries are not.
    const uint32_t count = table_.recordCount();
    for (size_t pos = 0; pos < order.size(); ++pos) {
        if (order.recnoAt(pos) > count) {
            buildEntries(order, false);
            break;
        }
    }
    orders_.push_back(std::move(order));
    if (controlling_ == 0) controlling_ = orderCount();
    orderPosValid_ = false;
}

void WorkArea::dropOrders() {
    for (Order& o : orders_) {
        if (o.temporary()) {
            os::removeFile(o.bagPath());
            bagConditions().erase(o.bagPath());
        } else if (o.changed()) {
            // A bag that cannot be brought up to date must not be added again stale.
            try {
                o.write();
            } catch (const VardoError&) {
                os::removeFile(o.bagPath());
            }
        }
    }
    orders_.clear();
    controlling_ = 0;
    orderPosValid_ = false;
}

void WorkArea::orderListClear() {
    requireTable();
    flush();
    dropOrders();
}

void WorkArea::setFocus(int order) {
    requireTable();
    controlling_ = order >= 0 && order <= orderCount() ? order : 0;
    orderPosValid_ = false;
}

bool WorkArea::setFocus(std::string_view tag) {
    requireTable();
    std::string wanted = upper(trim(tag));
    for (size_t i = 0; i < orders_.size(); ++i) {
        if (upper(orders_[i].tag()) == wanted) {
            setFocus(static_cast<int>(i + 1));
            return true;
        }
    }
    return false;
}

const Order* WorkArea::orderAt(int n) const {
    if (n == 0) n = controlling_;
    if (n < 1 || n > orderCount()) return nullptr;
    return &orders_[static_cast<size_t>(n - 1)];
}

std::string WorkArea::orderName(int n) const {
    const Order* o = orderAt(n);
    return o ? o->tag() : std::string();
}

std::string WorkArea::orderKey(int n) const {
    const Order* o = orderAt(n);
    return o ? o->keyText() : std::string();
}

std::string WorkArea::orderBag(int n) const {
    const Order* o = orderAt(n);
    return o ? o->bagPath() : std::string();
}

uint32_t WorkArea::keyCount() {
    requireTable();
    flush();
    if (Order* o = controlling()) return static_cast<uint32_t>(o->size());
    uint32_t live = 0;
    const uint32_t count = table_.recordCount();
    for (uint32_t r = 1; r <= count; ++r)
        if (table_.record(r, read_.data())[0] != '*') ++live;
    reload();
    return live;
}

uint32_t WorkArea::keyPosition() {
    requireTable();
    flush();
    if (eof_) return 0;
    if (Order* o = controlling()) {
        size_t pos = orderPosition();
        return pos < o->size() && o->recnoAt(pos) == recno_ ? static_cast<uint32_t>(pos + 1) : 0;
    }
    if (deleted()) return 0;
    uint32_t place = 0;
    for (uint32_t r = 1; r <= recno_; ++r)
        if (table_.record(r, read_.data())[0] != '*') ++place;
    reload();
    return place;
}

void WorkArea::goKeyPosition(uint32_t n) {
    startMove();
    if (Order* o = controlling()) {
        if (n >= 1 && n <= o->size() && loadAt(n - 1)) return;
    } else if (n >= 1) {
        uint32_t place = 0;
        for (uint32_t r = 1; r <= table_.knownCount(); ++r)
            if (load(r) && live() && ++place == n) return;
    }
    toEnd();
}

// --- locks --------------------------------------------------------------------------------

bool WorkArea::fileLock() {
    requireTable();
    return table_.lockFile();
}

bool WorkArea::recordLock() {
    requireTable();
    return eof_ || table_.lockRecord(recno_);
}

void WorkArea::unlock() {
    requireTable();
    flush();
    table_.unlock();
}

// --- the engine ----------------------------------------------------------------------------

WorkArea& Engine::area(int n) {
    if (n < 1 || n > kMaxAreas)
        raiseProgramError(EG_BOUND, "Work area out of range", std::to_string(n));
    if (static_cast<size_t>(n) >= areas_.size()) areas_.resize(static_cast<size_t>(n) + 1);
    auto& slot = areas_[static_cast<size_t>(n)];
    if (!slot) slot = std::make_unique<WorkArea>(n);
    return *slot;
}

int Engine::firstFree() const {
    for (size_t n = 1; n <= kMaxAreas; ++n)
        if (n >= areas_.size() || !areas_[n] || !areas_[n]->used()) return static_cast<int>(n);
    raiseProgramError(EG_BOUND, "No free work area");
}

void Engine::select(int n) {
    current_ = n == 0 ? firstFree() : (area(n), n);
}

int Engine::areaOf(std::string_view alias) const {
    std::string wanted = upper(trim(alias));
    for (const auto& a : areas_)
        if (a && a->used() && a->alias() == wanted) return a->number();
    return 0;
}

bool Engine::select(std::string_view alias) {
    int n = areaOf(alias);
    if (n == 0) return false;
    current_ = n;
    return true;
}

void Engine::open(bool newArea, const std::string& path, const std::string& alias, bool shared,
                  bool readOnly) {
    setNetErr(false);
    if (newArea) select(0);
    WorkArea& a = current();
    a.close();
    std::string file = tableFile(path, "DBF");
    std::string name = upper(trim(alias.empty() ? baseName(file) : alias));
    if (areaOf(name) != 0) raiseProgramError(EG_ARG, "Alias already in use", name);
    if (!a.open(file, name, shared, readOnly))
        raiseWithDefault(fileError(EG_OPEN, os::SharingViolation, file));
}

void Engine::closeAll() {
    std::exception_ptr failure;
    for (auto& a : areas_) {
        if (!a) continue;
        try {
            a->close();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    current_ = 1;
    if (failure) std::rethrow_exception(failure);
}

void Engine::create(const std::string& path, const Schema& fields) {
    DbfFile::create(tableFile(path, "DBF"), fields);
}

Engine& db() {
    static Engine engine;
    return engine;
}

} // namespace vardo
