#include "store/index.h"

#include "common/error.h"
#include "platform/os.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace vardo {

namespace {

constexpr char kMagic[8] = {'V', 'A', 'R', 'D', 'O', 'N', 'T', 'X'};
constexpr char kVersion = 1;

[[noreturn]] void raiseBadExpression(const std::string& text) {
    VardoError e;
    e.genCode = EG_ARG;
    e.subCode = 1449;
    e.subsystem = "DBFNTX";
    e.description = "Invalid index expression";
    e.operation = text;
    throw e;
}

void putU16(std::string& out, size_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void putU32(std::string& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

// Reads the fields of a bag file in order; any read past the end marks it bad.
class BagReader {
public:
    explicit BagReader(const std::string& data) : d_(data) {}
    bool ok() const { return ok_; }
    std::string_view bytes(size_t n) {
        if (!ok_ || d_.size() - at_ < n) {
            ok_ = false;
            return {};
        }
        std::string_view v(d_.data() + at_, n);
        at_ += n;
        return v;
    }
    uint32_t u8() {
        auto b = bytes(1);
        return ok_ ? static_cast<unsigned char>(b[0]) : 0;
    }
    uint32_t u16() { return u8() | u8() << 8; }
    uint32_t u32() { return u16() | u16() << 16; }
    bool atEnd() const { return at_ == d_.size(); }

private:
    const std::string& d_;
    size_t at_ = 0;
    bool ok_ = true;
};

} // namespace

Order::Order(std::string tag, std::string keyText, std::function<Value()> keyFunction,
             OrderCondition condition, bool unique, const Schema& fields)
    : tag_(std::move(tag)), keyText_(std::move(keyText)), key_(KeyExpr::compile(keyText_, fields)),
      condition_(std::move(condition)), unique_(unique) {
    if (key_) {
        keyType_ = key_->type();
        keyLength_ = key_->keyLength();
    } else if (keyFunction) {
        keyFunction_ = std::move(keyFunction);
    } else {
        raiseBadExpression(keyText_);
    }
    if (!condition_.function && !condition_.text.empty()) {
        conditionExpr_ = KeyExpr::compile(condition_.text, fields);
        if (!conditionExpr_ || conditionExpr_->type() != 'L') raiseBadExpression(condition_.text);
    }
}

bool Order::needsCurrentRecord() const {
    return static_cast<bool>(keyFunction_) || static_cast<bool>(condition_.function);
}

void Order::keyOf(const char* record, uint32_t recno, std::string& out) {
    if (key_) {
        key_->key(record, recno, out);
        return;
    }
    Value v = keyFunction_();
    if (keyLength_ == 0) {
        // A key given only as a function takes its kind and width from its first value.
        keyType_ = valueType(v);
        keyLength_ = keyType_ == 'C'   ? std::min(asText(v).size(), kMaxKeyLength)
                     : keyType_ == 'L' ? 1
                                       : 8;
        if (keyLength_ == 0) keyLength_ = 1;
    }
    KeyExpr::keyOfValue(v, keyType_, keyLength_, out);
}

bool Order::accepts(const char* record, uint32_t recno) const {
    if (condition_.function) return condition_.function();
    return !conditionExpr_ || conditionExpr_->test(record, recno);
}

size_t Order::lowerBound(std::string_view key, uint32_t recno) const {
    size_t lo = 0, hi = size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        int c = keyAt(mid).compare(key);
        if (c < 0 || (c == 0 && recnos_[mid] < recno))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

size_t Order::findPrefix(std::string_view prefix) const {
    size_t pos = lowerBound(prefix, 0);
    if (pos < size() && keyAt(pos).substr(0, prefix.size()) == prefix) return pos;
    return size();
}

std::optional<size_t> Order::find(std::string_view key, uint32_t recno) const {
    size_t pos = lowerBound(key, recno);
    if (pos < size() && recnos_[pos] == recno && keyAt(pos) == key) return pos;
    return std::nullopt;
}

void Order::assign(std::string keys, std::vector<uint32_t> recnos) {
    std::vector<uint32_t> perm(recnos.size());
    std::iota(perm.begin(), perm.end(), 0u);
    const size_t len = keyLength_;
    std::stable_sort(perm.begin(), perm.end(), [&](uint32_t x, uint32_t y) {
        return std::memcmp(keys.data() + x * len, keys.data() + y * len, len) < 0;
    });
    keys_.clear();
    keys_.reserve(keys.size());
    recnos_.clear();
    recnos_.reserve(recnos.size());
    for (uint32_t p : perm) {
        std::string_view k(keys.data() + p * len, len);
        if (unique_ && !recnos_.empty() && keyAt(recnos_.size() - 1) == k) continue;
        keys_.append(k);
        recnos_.push_back(recnos[p]);
    }
    changed_ = true;
}

size_t Order::placeOf(const char* record, uint32_t recno) {
    std::string key;
    keyOf(record, recno, key);
    return lowerBound(key, recno);
}

std::optional<size_t> Order::entryOf(const char* record, uint32_t recno) {
    if (!key_) {
        // A key function reads the current record, which no longer holds the
        // bytes the entry was made from.
        auto it = std::find(recnos_.begin(), recnos_.end(), recno);
        if (it == recnos_.end()) return std::nullopt;
        return static_cast<size_t>(it - recnos_.begin());
    }
    std::string key;
    keyOf(record, recno, key);
    return find(key, recno);
}

void Order::erase(size_t pos) {
    keys_.erase(pos * keyLength_, keyLength_);
    recnos_.erase(recnos_.begin() + static_cast<std::ptrdiff_t>(pos));
    changed_ = true;
}

void Order::insert(const std::string& key, uint32_t recno) {
    if (unique_) {
        size_t first = lowerBound(key, 0);
        if (first < size() && keyAt(first) == key) return;
    }
    size_t pos = lowerBound(key, recno);
    keys_.insert(pos * keyLength_, key);
    recnos_.insert(recnos_.begin() + static_cast<std::ptrdiff_t>(pos), recno);
    changed_ = true;
}

void Order::write() {
    std::string out(kMagic, sizeof kMagic);
    out += kVersion;
    out += keyType_;
    out += static_cast<char>(unique_ ? 1 : 0);
    putU16(out, keyLength_);
    putU16(out, tag_.size());
    putU16(out, keyText_.size());
    putU16(out, condition_.text.size());
    putU32(out, static_cast<uint32_t>(recnos_.size()));
    out += tag_;
    out += keyText_;
    out += condition_.text;
    out += keys_;
    for (uint32_t r : recnos_) putU32(out, r);

    os::File file;
    if (int err = file.create(bagPath_, os::File::Share::None))
        throw fileError(EG_CREATE, err, bagPath_);
    if (int err = file.writeAt(0, out.data(), out.size())) throw fileError(EG_WRITE, err, bagPath_);
    changed_ = false;
}

Order Order::read(const std::string& path, const Schema& fields,
                  std::function<bool()> conditionFunction) {
    std::string data;
    if (int err = os::readFile(path, data)) throw fileError(EG_OPEN, err, path);
    BagReader in(data);
    if (in.bytes(sizeof kMagic) != std::string_view(kMagic, sizeof kMagic) ||
        in.u8() != static_cast<uint32_t>(kVersion))
        raiseCorrupt(path);
    char keyType = static_cast<char>(in.u8());
    bool unique = in.u8() != 0;
    size_t keyLength = in.u16();
    size_t tagLength = in.u16(), keyTextLength = in.u16(), conditionLength = in.u16();
    uint32_t count = in.u32();
    std::string tag(in.bytes(tagLength));
    std::string keyText(in.bytes(keyTextLength));
    std::string condition(in.bytes(conditionLength));
    if (!in.ok() || count > data.size() / (keyLength + 4 ? keyLength + 4 : 1)) raiseCorrupt(path);
    std::string keys(in.bytes(count * keyLength));
    std::vector<uint32_t> recnos(count);
    for (auto& r : recnos) r = in.u32();
    if (!in.ok() || !in.atEnd()) raiseCorrupt(path);

    Order order(tag, keyText, {}, {condition, std::move(conditionFunction)}, unique, fields);
    if (order.keyType_ != keyType || order.keyLength_ != keyLength) raiseCorrupt(path);
    order.keys_ = std::move(keys);
    order.recnos_ = std::move(recnos);
    for (size_t i = 1; i < order.size(); ++i) {
        int c = order.keyAt(i - 1).compare(order.keyAt(i));
        if (c > 0 || (c == 0 && order.recnos_[i - 1] >= order.recnos_[i])) raiseCorrupt(path);
    }
    order.bagPath_ = path;
    return order;
}

} // namespace vardo
