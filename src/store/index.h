#pragma once
// An order (index tag): the (key, record number) entries of the records that
// belong to it, sorted by key and, for equal keys, by record number, so that
// equal keys keep physical order. The engine keeps it up to date as records are
// written; the bag file holds one order so that it can be closed and added
// again while the program runs. Bag files are private to a running instance
// (rebuilt before every use, deleted after), so their layout is our own:
// a magic, the tag name, the key and condition texts, then the entries.

#include "common/value.h"
#include "store/keyexpr.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardo {

// What the next index build takes besides its key.
struct OrderCondition {
    std::string text;               // stored in the bag; "!DELETED()" in this program
    std::function<bool()> function; // the filter, evaluated on the current record, when given
    bool useCurrentOrder = false;   // only the records of the controlling order, in its order
    bool temporary = false;         // the bag goes to the temporary folder and dies with the table
};

class Order {
public:
    // Compiles the key (or takes the key function when the text is not one the
    // compiler knows) and the condition over the table's fields.
    Order(std::string tag, std::string keyText, std::function<Value()> keyFunction,
          OrderCondition condition, bool unique, const Schema& fields);

    const std::string& tag() const { return tag_; }
    const std::string& keyText() const { return keyText_; }
    const std::string& conditionText() const { return condition_.text; }
    const std::string& bagPath() const { return bagPath_; }
    void setBagPath(std::string path) { bagPath_ = std::move(path); }
    bool temporary() const { return condition_.temporary; }
    bool unique() const { return unique_; }
    char keyType() const { return keyType_; }
    size_t keyLength() const { return keyLength_; }
    // The condition and key functions call back into the engine, which must
    // have the record current; compiled texts read the bytes directly.
    bool needsCurrentRecord() const;

    // The key of a record into `out`.
    void keyOf(const char* record, uint32_t recno, std::string& out);
    // True when a live record satisfies the condition.
    bool accepts(const char* record, uint32_t recno) const;

    size_t size() const { return recnos_.size(); }
    uint32_t recnoAt(size_t pos) const { return recnos_[pos]; }
    std::string_view keyAt(size_t pos) const {
        return {keys_.data() + pos * keyLength_, keyLength_};
    }
    // The place of (key, recno), or where it would go.
    size_t lowerBound(std::string_view key, uint32_t recno) const;
    // The first entry whose key begins with `prefix`; size() when none.
    size_t findPrefix(std::string_view prefix) const;
    // The place of the record's entry; nullopt when it has none.
    std::optional<size_t> find(std::string_view key, uint32_t recno) const;

    // Where the record (its bytes and number) is, or would be, in the order.
    size_t placeOf(const char* record, uint32_t recno);
    // The place of the record's entry, found from the bytes it was entered
    // with; nullopt when it has none.
    std::optional<size_t> entryOf(const char* record, uint32_t recno);

    // Replaces every entry: keys (keyLength bytes each) and record numbers in
    // physical order; they are sorted here.
    void assign(std::string keys, std::vector<uint32_t> recnos);
    void erase(size_t pos);
    // Adds an entry in its place (not when the order is unique and has the key).
    void insert(const std::string& key, uint32_t recno);

    // The bag file of this order, written at once and again when the order is
    // closed after a change.
    void write();
    bool changed() const { return changed_; }
    // Reads a bag file written by write(); the corrupt-file error when it is not one.
    static Order read(const std::string& path, const Schema& fields,
                      std::function<bool()> conditionFunction);

private:
    std::string tag_;
    std::string keyText_;
    std::function<Value()> keyFunction_;
    std::optional<KeyExpr> key_;
    OrderCondition condition_;
    std::optional<KeyExpr> conditionExpr_;
    bool unique_;
    char keyType_ = 'C';
    size_t keyLength_ = 0;
    std::string bagPath_;
    std::string keys_;
    std::vector<uint32_t> recnos_;
    bool changed_ = false;
};

} // namespace vardo
