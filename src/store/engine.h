#pragma once
// The table engine: numbered work areas, each holding at most one open table
// with its alias, its current record, its orders and its locks. One area is
// current at a time (db().current()). Records marked deleted are invisible to
// every movement; the end position (last record + 1) reads as a blank record.
//
// The current record is kept in a buffer: field puts change the buffer, and the
// record is written (and the orders kept in step) when the area moves, commits,
// unlocks, appends, packs, builds an order or closes.

#include "common/value.h"
#include "store/dbf.h"
#include "store/index.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vardo {

class WorkArea {
public:
    explicit WorkArea(int number);
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

    int number() const { return number_; }
    bool used() const { return table_.isOpen(); }
    const std::string& alias() const { return alias_; }
    // The table file, as found on disk.
    const std::string& path() const { return table_.path(); }
    bool shared() const { return table_.shared(); }
    bool readOnly() const { return table_.readOnly(); }

    // Opens the table file (path already resolved) on its first live record;
    // false, with the area left empty, when another open holds a conflicting
    // sharing mode. Any other failure raises its error.
    bool open(const std::string& file, const std::string& alias, bool shared, bool readOnly);
    void close();

    // --- movement, in the controlling order (physical order when none) -------
    void goTop();
    void goBottom();
    // Record r itself (also when it is marked deleted); the end position when
    // there is no such record.
    void goTo(uint32_t r);
    // n live records forward or back; 0 reads the current record again.
    void skip(long n = 1);
    // The first key of the controlling order that begins with the value: true
    // and positioned there, or false at the end position.
    bool seek(const Value& key);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool found() const { return found_; }
    uint32_t recno() const { return recno_; }
    uint32_t recordCount();
    bool deleted() const { return current_[0] == '*'; }

    // --- records --------------------------------------------------------------
    // A blank record at the end, made current. Shared: under the append lock,
    // leaving the new record locked; when that cannot be had the network-error
    // flag is set and nothing changes.
    void append();
    void markDeleted();
    void recall();
    // Writes the current record and the header, and forces them to the disk.
    void commit();
    // Removes the records marked deleted (exclusive tables only), rebuilds the
    // orders and goes to the top.
    void pack();

    // --- fields ---------------------------------------------------------------
    const Schema& structure() const { return table_.fields(); }
    size_t fieldCount() const { return table_.fields().size(); }
    // 1-based position of the field of that name (any case); 0 when none.
    int fieldPos(std::string_view name) const;
    const FieldDesc& field(int pos) const { return table_.fields()[static_cast<size_t>(pos - 1)]; }
    Value get(int pos);
    Value get(std::string_view name) { return get(requireField(name)); }
    // Stores the value in the field's stored form; at the end position nothing happens.
    void put(int pos, const Value& value);
    void put(std::string_view name, const Value& value) { put(requireField(name), value); }
    std::string text(std::string_view name) { return asText(get(name)); }
    double number(std::string_view name) { return asNumber(get(name)); }
    Date date(std::string_view name) { return asDate(get(name)); }
    bool logical(std::string_view name) { return asBool(get(name)); }

    // --- orders ---------------------------------------------------------------
    // The condition the next order build takes (then forgotten).
    void setOrderCondition(OrderCondition condition) { pending_ = std::move(condition); }
    // Builds one order over the live records that satisfy the pending condition
    // into the bag file (replacing it), makes it controlling and goes to the top.
    // An empty tag takes the bag's base name, cut to 10 characters. A temporary
    // order's bag goes to the system's temporary folder whatever `bag` says and
    // is removed when the order is closed.
    void createOrder(const std::string& bag, const std::string& tag, const std::string& keyText,
                     std::function<Value()> keyFunction, bool unique);
    // Adds the order of a bag file; it becomes controlling when none was.
    void orderListAdd(const std::string& bag);
    // Closes every order: back to physical order.
    void orderListClear();
    int orderCount() const { return static_cast<int>(orders_.size()); }
    // The controlling order's number, 0 for physical order.
    int orderNumber() const { return controlling_; }
    void setFocus(int order);
    // By tag name (any case); false when no open order has it.
    bool setFocus(std::string_view tag);
    // Of order n, 0 for the controlling one; empty text when there is no such order.
    std::string orderName(int n = 0) const;
    std::string orderKey(int n = 0) const;
    std::string orderBag(int n = 0) const;
    // Keys of the controlling order (live records in physical order), and the
    // 1-based place of the current record among them (0 when it has none).
    uint32_t keyCount();
    uint32_t keyPosition();
    // The record at key place n of the controlling order; the end position when none.
    void goKeyPosition(uint32_t n);

    // --- locks: true on success, at once; never waiting -----------------------
    bool fileLock();
    // Locks the current record in place of every other lock of the table.
    bool recordLock();
    void unlock();

private:
    int requireField(std::string_view name) const;
    void requireFieldPos(int pos) const;
    void requireTable() const;
    void requireWritable() const;
    // Writes the changed current record and keeps the orders in step.
    void flush();
    // Makes record r current; false (at the end position) when there is none.
    bool load(uint32_t r);
    // Makes the record at a place of the controlling order current; false when
    // it is gone or marked deleted.
    bool loadAt(size_t pos);
    void toEnd();
    // Reads the current record again, after its buffer served another record.
    void reload();
    void makeDirty();
    // The current record's bytes as they are on the file.
    const char* original();
    void startMove();
    Order* controlling() {
        return controlling_ ? &orders_[static_cast<size_t>(controlling_ - 1)] : nullptr;
    }
    const Order* orderAt(int n) const;
    bool live() const { return !deleted(); }
    size_t orderPosition();
    bool stepForward();
    bool stepBack();
    void buildEntries(Order& order, bool useCurrentOrder);
    void dropOrders();

    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    int number_;
    std::string alias_;
    DbfFile table_;
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> fieldPos_;
    std::vector<char> blank_; // the record of the end position
    std::vector<char> read_;  // the current record as read (shared tables)
    std::vector<char> work_;  // the current record being changed
    const char* current_ = nullptr;
    bool dirty_ = false;
    uint32_t recno_ = 0;
    bool eof_ = true, bof_ = true, found_ = false;
    std::vector<Order> orders_;
    int controlling_ = 0;
    size_t orderPos_ = 0; // cached place of the current record in the controlling order
    bool orderPosValid_ = false;
    OrderCondition pending_;
};

class Engine {
public:
    static constexpr int kMaxAreas = 65534;

    // The current work area (it may hold no table).
    WorkArea& current() { return area(current_); }
    int currentNumber() const { return current_; }
    // Work area n (1 to kMaxAreas), created empty on first use.
    WorkArea& area(int n);
    // Makes area n current; 0 selects the first free one.
    void select(int n);
    // Makes the area of that alias (any case) current; false when none has it.
    bool select(std::string_view alias);
    // The area holding that alias, 0 when none.
    int areaOf(std::string_view alias) const;
    int firstFree() const;

    // Opens a table in the current area (a new one, the first free, when asked):
    // the ".DBF" extension is added when the name has none, the name is upper-cased
    // and found whatever its case, the alias defaults to the file's base name. A
    // sharing conflict leaves the area empty with the network-error flag set.
    void open(bool newArea, const std::string& path, const std::string& alias, bool shared,
              bool readOnly);
    // Closes the current area's table.
    void close() { current().close(); }
    // Closes every table and makes area 1 current.
    void closeAll();
    // Writes an empty table (".DBF" added when the name has none), replacing any file of that name.
    static void create(const std::string& path, const Schema& fields);

private:
    std::vector<std::unique_ptr<WorkArea>> areas_{1}; // index 0 unused
    int current_ = 1;
};

Engine& db();

} // namespace vardo
