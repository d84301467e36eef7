#include "store/dbf.h"

#include "common/date.h"
#include "common/error.h"
#include "common/round.h"
#include "store/filenames.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace vardo {

namespace {

constexpr size_t kDescriptorSize = 32;
constexpr char kEndOfFile = 26;
// A memo longer than this is cut: no memo the program ever wrote comes near it.
constexpr size_t kMemoLimit = 1 << 20;

uint16_t u16(const char* p) {
    return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1])
                                                                        << 8);
}
uint32_t u32(const char* p) {
    return static_cast<uint32_t>(u16(p)) | static_cast<uint32_t>(u16(p + 2)) << 16;
}
void put16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
void put32(char* p, uint32_t v) {
    put16(p, static_cast<uint16_t>(v & 0xFFFF));
    put16(p + 2, static_cast<uint16_t>(v >> 16));
}

// Date of the last update as the header stores it.
void putDate(char* p, const Date& d) {
    p[0] = static_cast<char>(d.year() - 1900);
    p[1] = static_cast<char>(d.month());
    p[2] = static_cast<char>(d.day());
}

bool knownTypeLetter(char t) {
    return (t >= 'A' && t <= 'Z') || t == '@' || t == '+' || t == '0';
}

// A blank-filled decimal text as numeric fields store it. Digits are gathered
// as a whole number and divided once by a power of ten, which gives the
// correctly rounded double like strtod but far faster.
double parseNumber(const char* p, size_t width) {
    size_t i = 0;
    while (i < width && p[i] == ' ') ++i;
    bool negative = false;
    if (i < width && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
    uint64_t mantissa = 0;
    int digits = 0, scale = 0;
    bool point = false;
    for (; i < width; ++i) {
        char c = p[i];
        if (c >= '0' && c <= '9') {
            if (digits < 18) {
                mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
                if (mantissa) ++digits;
                if (point) ++scale;
            } else if (!point) {
                --scale; // beyond what a double keeps: only the magnitude counts
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    double value = static_cast<double>(mantissa);
    if (digits > 15 || scale < 0 || scale > 22) {
        value = value / std::pow(10.0, scale);
    } else {
        static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        value /= powers[scale];
    }
    return negative ? -value : value;
}

// A structure the format cannot hold: a program error, caught before any byte is written.
[[noreturn]] void raiseBadStructure(const std::string& path) {
    VardoError e = fileError(EG_CREATE, 0, path);
    e.genCode = EG_ARG;
    e.description = "Invalid table structure";
    throw e;
}

} // namespace

double numberOfText(std::string_view text) {
    return parseNumber(text.data(), text.size());
}

void formatNumber(double value, int width, int decimals, char* out) {
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double rounded = roundHalfAway(value, decimals);
    // Written as whole units of the last decimal: exact as long as a double
    // holds them exactly, and far cheaper than printf, which the keys would
    // otherwise call for every record.
    char digits[64];
    int n = 0;
    if (decimals >= 0 && decimals <= 9 && std::fabs(rounded * powers[decimals]) < 9e15) {
        long long units = std::llround(rounded * powers[decimals]);
        const bool negative = units < 0;
        unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(units)
                                        : static_cast<unsigned long long>(units);
        // Least significant first, with at least one digit before the point.
        int count = 0;
        do {
            digits[n++] = static_cast<char>('0' + u % 10);
            u /= 10;
            if (++count == decimals) digits[n++] = '.';
        } while (u != 0 || count <= decimals);
        if (negative) digits[n++] = '-';
        std::reverse(digits, digits + n);
    } else if (std::isfinite(rounded) && std::fabs(rounded) < 1e40) {
        n = std::snprintf(digits, sizeof digits, "%.*f", decimals, rounded);
    } else {
        n = width + 1;
    }
    if (n < 0 || n > width) {
        std::memset(out, '*', static_cast<size_t>(width));
        return;
    }
    std::memset(out, ' ', static_cast<size_t>(width - n));
    std::memcpy(out + (width - n), digits, static_cast<size_t>(n));
}

namespace {

[[noreturn]] void raiseDataType(const FieldDesc& field) {
    VardoError e;
    e.genCode = EG_DATATYPE;
    e.subCode = 1020;
    e.subsystem = "DBF";
    e.description = "Data type error";
    e.operation = field.name;
    throw e;
}

} // namespace

void raiseCorrupt(const std::string& path) {
    VardoError e = fileError(EG_CORRUPTION, 0, path);
    e.subCode = ES_CORRUPT_TABLE;
    e.description = "Corruption detected";
    throw e;
}

void encodeField(const FieldDesc& field, const Value& value, char* bytes) {
    const size_t width = static_cast<size_t>(field.width);
    switch (field.type) {
    case 'N':
        if (!std::holds_alternative<double>(value)) raiseDataType(field);
        formatNumber(std::get<double>(value), field.width, field.decimals, bytes);
        return;
    case 'D': {
        if (!std::holds_alternative<Date>(value)) raiseDataType(field);
        std::string s = std::get<Date>(value).storage();
        s.resize(width, ' ');
        std::memcpy(bytes, s.data(), width);
        return;
    }
    case 'L':
        if (!std::holds_alternative<bool>(value)) raiseDataType(field);
        std::memset(bytes, ' ', width);
        bytes[0] = std::get<bool>(value) ? 'T' : 'F';
        return;
    default: {
        if (!std::holds_alternative<std::string>(value)) raiseDataType(field);
        const std::string& s = std::get<std::string>(value);
        size_t n = std::min(s.size(), width);
        std::memcpy(bytes, s.data(), n);
        std::memset(bytes + n, ' ', width - n);
        return;
    }
    }
}

Value decodeField(const FieldDesc& field, const char* bytes) {
    const size_t width = static_cast<size_t>(field.width);
    switch (field.type) {
    case 'N':
        return parseNumber(bytes, width);
    case 'D':
        return Date::fromStorage(std::string_view(bytes, width));
    case 'L': {
        char c = bytes[0];
        return c == 'T' || c == 't' || c == 'Y' || c == 'y';
    }
    default:
        return std::string(bytes, width);
    }
}

DbfFile::~DbfFile() {
    try {
        close();
    } catch (...) {
        // Nobody to tell here: tables whose close must be seen are closed explicitly.
    }
}

void DbfFile::create(const std::string& path, const Schema& fields) {
    size_t recordLength = 1;
    for (const auto& f : fields) {
        const bool valid = !f.name.empty() && f.name.size() <= 10 && f.width >= 1 &&
                           f.width <= 255 &&
                           std::string_view("CNDL").find(f.type) != std::string_view::npos;
        if (!valid) raiseBadStructure(path);
        recordLength += static_cast<size_t>(f.width);
    }
    if (fields.empty() || recordLength > 0xFFFF) raiseBadStructure(path);
    const size_t headerLength = kDescriptorSize * (fields.size() + 1) + 2;
    std::string bytes(headerLength + 1, '\0');
    bytes[0] = 3;
    putDate(&bytes[1], Date::today());
    put16(&bytes[8], static_cast<uint16_t>(headerLength));
    put16(&bytes[10], static_cast<uint16_t>(recordLength));
    char* d = &bytes[kDescriptorSize];
    for (const auto& f : fields) {
        std::memcpy(d, f.name.data(), std::min<size_t>(f.name.size(), 10));
        d[11] = f.type;
        d[16] = static_cast<char>(f.width);
        d[17] = static_cast<char>(f.type == 'N' ? f.decimals : 0);
        d += kDescriptorSize;
    }
    d[0] = 13;
    d[1] = 0;
    bytes[headerLength] = kEndOfFile;

    os::File file;
    if (int err = file.create(path, os::File::Share::Exclusive))
        throw fileError(EG_CREATE, err, path);
    if (int err = file.writeAt(0, bytes.data(), bytes.size())) throw fileError(EG_WRITE, err, path);
}

int DbfFile::open(const std::string& path, bool shared, bool readOnly) {
    close();
    os::File file;
    int err = file.open(path, readOnly ? os::File::Access::Read : os::File::Access::ReadWrite,
                        shared ? os::File::Share::Shared : os::File::Share::Exclusive);
    if (err == os::SharingViolation) return err;
    if (err) throw fileError(EG_OPEN, err, path);
    uint64_t size = 0;
    if (int e = file.size(size)) throw fileError(EG_READ, e, path);

    file_ = std::move(file);
    path_ = path;
    shared_ = shared;
    readOnly_ = readOnly;
    try {
        parseHeader(size);
        if (!shared_) mapRecords();
    } catch (...) {
        file_.close();
        throw;
    }
    return os::Ok;
}

void DbfFile::parseHeader(uint64_t fileSize) {
    if (fileSize < kDescriptorSize) raiseCorrupt(path_);
    char fixed[kDescriptorSize];
    size_t got = 0;
    if (int err = file_.readAt(0, fixed, sizeof fixed, got)) throw fileError(EG_READ, err, path_);
    headerLength_ = u16(fixed + 8);
    recordLength_ = u16(fixed + 10);
    count_ = u32(fixed + 4);
    if (headerLength_ < 2 * kDescriptorSize || headerLength_ > fileSize) raiseCorrupt(path_);

    header_.resize(headerLength_);
    if (int err = file_.readAt(0, header_.data(), headerLength_, got))
        throw fileError(EG_READ, err, path_);
    if (got != headerLength_) raiseCorrupt(path_);

    fields_.clear();
    offsets_.clear();
    size_t offset = 1;
    for (size_t at = kDescriptorSize; at + kDescriptorSize <= headerLength_ && header_[at] != 13;
         at += kDescriptorSize) {
        const char* d = header_.data() + at;
        FieldDesc f;
        for (size_t i = 0; i < 11 && d[i] != '\0'; ++i)
            f.name += static_cast<char>(std::toupper(static_cast<unsigned char>(d[i])));
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
        f.width = static_cast<unsigned char>(d[16]);
        f.decimals = static_cast<unsigned char>(d[17]);
        // Long character fields keep the high byte of their width in the decimals.
        if (f.type == 'C') {
            f.width += f.decimals * 256;
            f.decimals = 0;
        }
        while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
        if (f.name.empty() || !knownTypeLetter(f.type) || f.width == 0) raiseCorrupt(path_);
        offsets_.push_back(offset);
        offset += static_cast<size_t>(f.width);
        fields_.push_back(std::move(f));
    }
    if (fields_.empty() || offset != recordLength_) raiseCorrupt(path_);
    if (headerLength_ + static_cast<uint64_t>(count_) * recordLength_ > fileSize)
        raiseCorrupt(path_);
}

void DbfFile::mapRecords() {
    // Room to grow, so that appends seldom need a new view. Reading past the
    // end of a view is never done: such records are read from the file. A view
    // the system refuses just means every record is read from the file.
    const uint64_t used = headerLength_ + static_cast<uint64_t>(count_) * recordLength_;
    if (view_.map(file_, used + used / 2 + (1 << 16)) != os::Ok) view_.unmap();
}

void DbfFile::close() {
    if (!file_.isOpen()) return;
    int err = written_ ? file_.sync() : os::Ok;
    file_.close();
    view_.unmap();
    memo_.close();
    memoTried_ = false;
    written_ = false;
    lock_ = Lock::None;
    lockedRecord_ = 0;
    stampedDay_ = 0;
    if (err) throw fileError(EG_WRITE, err, path_);
}

uint32_t DbfFile::recordCount() {
    if (!shared_) return count_;
    char buf[4];
    size_t got = 0;
    if (int err = file_.readAt(4, buf, sizeof buf, got)) throw fileError(EG_READ, err, path_);
    if (got != sizeof buf) raiseCorrupt(path_);
    count_ = u32(buf);
    return count_;
}

const char* DbfFile::record(uint32_t r, char* buffer) {
    const uint64_t offset = headerLength_ + static_cast<uint64_t>(r - 1) * recordLength_;
    if (offset + recordLength_ <= view_.length()) return view_.data() + offset;
    size_t got = 0;
    if (int err = file_.readAt(offset, buffer, recordLength_, got))
        throw fileError(EG_READ, err, path_);
    if (got != recordLength_) raiseCorrupt(path_);
    return buffer;
}

Value DbfFile::value(size_t field, const char* record) {
    const FieldDesc& f = fields_[field];
    const char* bytes = record + offsets_[field];
    if (f.type == 'M') return memoText(bytes, static_cast<size_t>(f.width));
    return decodeField(f, bytes);
}

// A memo field holds the number of the memo's first block in the .DBT file
// beside the table: dBase III ends the text with byte 26, dBase IV gives its
// length in a block header. Without a memo file the text is empty.
std::string DbfFile::memoText(const char* bytes, size_t width) {
    uint64_t block = 0;
    bool any = false;
    for (size_t i = 0; i < width; ++i) {
        char c = bytes[i];
        if (c == ' ' || c == '\0') continue;
        if (c < '0' || c > '9') return std::string(bytes, width);
        block = block * 10 + static_cast<uint64_t>(c - '0');
        any = true;
    }
    if (!any || block == 0) return {};
    if (!memoTried_) {
        memoTried_ = true;
        memo_.open(os::findCaseless(withoutExtension(path_) + ".DBT"), os::File::Access::Read,
                   os::File::Share::None);
    }
    if (!memo_.isOpen()) return {};
    uint64_t blockSize = 512;
    if (static_cast<unsigned char>(header_[0]) == 0x8B) {
        char head[22];
        size_t got = 0;
        if (!memo_.readAt(0, head, sizeof head, got) && got == sizeof head && u16(head + 20) >= 64)
            blockSize = u16(head + 20);
    }
    std::string text;
    uint64_t at = block * blockSize;
    char chunk[512];
    size_t got = 0;
    if (memo_.readAt(at, chunk, 8, got) || got < 8) return {};
    if (static_cast<unsigned char>(chunk[0]) == 0xFF &&
        static_cast<unsigned char>(chunk[1]) == 0xFF && chunk[2] == 8 && chunk[3] == 0) {
        uint32_t length = u32(chunk + 4);
        if (length <= 8) return {};
        text.resize(std::min<size_t>(length - 8, kMemoLimit));
        if (memo_.readAt(at + 8, text.data(), text.size(), got)) return {};
        text.resize(got);
        return text;
    }
    while (text.size() < kMemoLimit) {
        if (memo_.readAt(at, chunk, sizeof chunk, got) || got == 0) break;
        const void* end = std::memchr(chunk, kEndOfFile, got);
        size_t n = end ? static_cast<size_t>(static_cast<const char*>(end) - chunk) : got;
        text.append(chunk, n);
        if (end) break;
        at += got;
    }
    return text;
}

void DbfFile::write(uint64_t offset, const void* data, size_t size) {
    if (int err = file_.writeAt(offset, data, size)) throw fileError(EG_WRITE, err, path_);
    written_ = true;
}

void DbfFile::stampDate() {
    Date today = Date::today();
    if (today.julianDay() == stampedDay_) return;
    char date[3];
    putDate(date, today);
    write(1, date, sizeof date);
    stampedDay_ = today.julianDay();
}

void DbfFile::writeHeaderCount(uint32_t count) {
    Date today = Date::today();
    char bytes[7];
    putDate(bytes, today);
    put32(bytes + 3, count);
    write(1, bytes, sizeof bytes);
    stampedDay_ = today.julianDay();
}

void DbfFile::writeRecord(uint32_t r, const char* bytes) {
    write(headerLength_ + static_cast<uint64_t>(r - 1) * recordLength_, bytes, recordLength_);
    stampDate();
}

bool DbfFile::takeAppendLock() {
    // Another instance holds this byte only for the moment of its own append.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (file_.lockRegion(kLockBase, 1)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

uint32_t DbfFile::appendBlank() {
    if (shared_) {
        if (!takeAppendLock()) return 0;
        recordCount();
        if (!lockRecord(count_ + 1)) {
            file_.unlockRegion(kLockBase, 1);
            return 0;
        }
    }
    const uint32_t r = count_ + 1;
    std::string bytes(recordLength_ + 1, ' ');
    bytes.back() = kEndOfFile;
    try {
        write(headerLength_ + static_cast<uint64_t>(count_) * recordLength_, bytes.data(),
              bytes.size());
        writeHeaderCount(r);
    } catch (...) {
        if (shared_) file_.unlockRegion(kLockBase, 1);
        throw;
    }
    count_ = r;
    if (shared_)
        file_.unlockRegion(kLockBase, 1);
    else if (view_.data() &&
             headerLength_ + static_cast<uint64_t>(r) * recordLength_ > view_.length())
        mapRecords();
    return r;
}

void DbfFile::sync() {
    if (!written_) return;
    if (int err = file_.sync()) throw fileError(EG_WRITE, err, path_);
    written_ = false;
}

bool DbfFile::pack() {
    std::vector<char> buffer(recordLength_);
    uint32_t kept = 0;
    for (uint32_t r = 1; r <= count_; ++r)
        if (record(r, buffer.data())[0] != '*') ++kept;
    if (kept == count_) return false;

    // The new file is created holding the exclusive mode, so that from the
    // moment it carries the table's name nobody else can open it.
    const std::string temp = withoutExtension(path_) + ".PK$";
    os::File packed;
    if (int err = packed.create(temp, os::File::Share::Exclusive))
        throw fileError(EG_CREATE, err, temp);
    const Date today = Date::today();
    std::string head = header_;
    putDate(&head[1], today);
    put32(&head[4], kept);
    int err = packed.writeAt(0, head.data(), head.size());
    uint64_t at = head.size();
    std::vector<char> batch;
    const size_t batchSize = std::max<size_t>(recordLength_, 1 << 20);
    auto writeBatch = [&] {
        if (!err && !batch.empty()) err = packed.writeAt(at, batch.data(), batch.size());
        at += batch.size();
        batch.clear();
    };
    for (uint32_t r = 1; r <= count_ && !err; ++r) {
        const char* rec = record(r, buffer.data());
        if (rec[0] == '*') continue;
        if (batch.size() + recordLength_ > batchSize) writeBatch();
        batch.insert(batch.end(), rec, rec + recordLength_);
    }
    batch.push_back(kEndOfFile);
    writeBatch();
    if (!err) err = packed.sync();
    if (!err) err = os::replaceFile(temp, path_);
    if (err) {
        packed.close();
        os::removeFile(temp);
        throw fileError(EG_WRITE, err, path_);
    }
    view_.unmap();
    file_ = std::move(packed);
    header_ = std::move(head);
    count_ = kept;
    stampedDay_ = today.julianDay();
    written_ = false;
    mapRecords();
    return true;
}

void DbfFile::dropLocks(uint32_t keepRecord) {
    // Releasing around the byte to keep hands a lock over without a moment in
    // which another instance could take it.
    const uint64_t keep = keepRecord ? kLockBase + keepRecord : 0;
    if (lock_ == Lock::File) {
        if (keep) {
            // A length of 0 would mean "to the end of the file" to the system.
            const uint64_t end = kFileLockStart + kFileLockLength;
            if (keep > kFileLockStart) file_.unlockRegion(kFileLockStart, keep - kFileLockStart);
            if (keep + 1 < end) file_.unlockRegion(keep + 1, end - keep - 1);
        } else {
            file_.unlockRegion(kFileLockStart, kFileLockLength);
        }
    } else if (lock_ == Lock::Record && lockedRecord_ != keepRecord) {
        file_.unlockRegion(kLockBase + lockedRecord_, 1);
    }
    lock_ = Lock::None;
    lockedRecord_ = 0;
}

bool DbfFile::lockFile() {
    if (!shared_) return true;
    if (lock_ == Lock::File) return true;
    if (!file_.lockRegion(kFileLockStart, kFileLockLength)) return false;
    // The record byte held so far now lies inside the file region.
    lock_ = Lock::File;
    lockedRecord_ = 0;
    return true;
}

bool DbfFile::lockRecord(uint32_t r) {
    if (!shared_) return true;
    if (lock_ == Lock::Record && lockedRecord_ == r) return true;
    bool ok = file_.lockRegion(kLockBase + r, 1);
    dropLocks(ok ? r : 0);
    if (ok) {
        lock_ = Lock::Record;
        lockedRecord_ = r;
    }
    return ok;
}

void DbfFile::unlock() {
    if (shared_) dropLocks(0);
}

} // namespace vardo
