#pragma once
// The dBase III table file: a header with one descriptor per field, then the
// records in append order, then the end-of-file byte 26. The files are the
// users' data, so this layer writes exactly the bytes the format fixes, reads
// what other programs wrote, and refuses a damaged file with the corrupt-file
// error rather than guessing.
//
// Crash consistency: a record reaches the file before the header that counts
// it, so a process killed at any point leaves a table that opens with every
// record it had committed (an appended record the header does not count yet is
// simply not there).

#include "common/value.h"
#include "platform/os.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vardo {

struct FieldDesc {
    std::string name; // upper case, at most 10 characters
    char type = 'C';  // C, N, D, L as this program writes; any other letter reads as text
    int width = 0;
    int decimals = 0;

    bool operator==(const FieldDesc&) const = default;
};
using Schema = std::vector<FieldDesc>;

// Lock regions of the table files, beyond any real data.
inline constexpr uint64_t kLockBase = 4000000000ULL;
inline constexpr uint64_t kFileLockStart = kLockBase + 1;
inline constexpr uint64_t kFileLockLength = 294967295ULL;

// The stored form of a value: C cut or filled with blanks; N right-aligned with
// exactly the declared decimals ("*" in every place when it does not fit); D
// YYYYMMDD or blanks; L "T" or "F". A value of another kind than the field's is
// a program error (EG_DATATYPE).
void encodeField(const FieldDesc& field, const Value& value, char* bytes);
// A number as numeric fields store it: right-aligned in `width` places with
// exactly `decimals` decimals, "*" in every place when it does not fit.
void formatNumber(double value, int width, int decimals, char* out);
// The number a decimal text begins with (blanks, a sign, digits, one "."); 0
// when it begins with none.
double numberOfText(std::string_view text);
// The value of stored bytes: C (and every type this program does not write) the
// full width as text; N its number, 0 when blank or unreadable; D the date, the
// empty date when blank; L true for "T", "t", "Y", "y".
Value decodeField(const FieldDesc& field, const char* bytes);

// The corrupt-file error for a table or index file.
[[noreturn]] void raiseCorrupt(const std::string& path);

class DbfFile {
public:
    DbfFile() = default;
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;
    ~DbfFile();

    // Writes an empty table, replacing any file of that name.
    static void create(const std::string& path, const Schema& fields);

    // Opens an existing table. Returns os::SharingViolation, with the table left
    // closed, when another open holds a conflicting sharing mode; every other
    // failure raises its error. An exclusive table reads its records through a
    // view of the file (nobody else can change them); a shared one reads each
    // record afresh.
    int open(const std::string& path, bool shared, bool readOnly);
    // Closes the table; whatever was written is flushed to the disk first.
    void close();

    bool isOpen() const { return file_.isOpen(); }
    const std::string& path() const { return path_; }
    bool shared() const { return shared_; }
    bool readOnly() const { return readOnly_; }
    const Schema& fields() const { return fields_; }
    size_t fieldOffset(size_t index) const { return offsets_[index]; }
    size_t recordLength() const { return recordLength_; }

    // The number of records; read afresh from the file when the table is shared.
    uint32_t recordCount();
    // The number of records as last read.
    uint32_t knownCount() const { return count_; }
    // The bytes of record r (1-based, r <= recordCount()): straight from the
    // view for an exclusive table, read into `buffer` (recordLength bytes)
    // otherwise. The bytes stay valid until the next append or pack.
    const char* record(uint32_t r, char* buffer);
    // The value of a field of a record's bytes; memo fields read their text.
    Value value(size_t field, const char* record);

    // Writes record r, then the date of the last update.
    void writeRecord(uint32_t r, const char* bytes);
    // Appends a blank record and returns its number. Shared: under the append
    // lock, with the new record locked in place of every other lock; 0 when the
    // append lock or the new record's lock cannot be had.
    uint32_t appendBlank();
    // Forces everything written to the disk.
    void sync();
    // Removes the records marked deleted (exclusive tables only): the live ones
    // are written to a file beside the table, which then replaces it in one
    // rename. False when there was nothing to remove (the file is untouched).
    bool pack();

    // Locks never wait; on an exclusive table they succeed at once and take no
    // region. A record lock replaces every other lock of the table.
    bool lockFile();
    bool lockRecord(uint32_t r);
    void unlock();

private:
    enum class Lock { None, File, Record };

    void parseHeader(uint64_t fileSize);
    void mapRecords();
    void writeHeaderCount(uint32_t count);
    void stampDate();
    void write(uint64_t offset, const void* data, size_t size);
    bool takeAppendLock();
    std::string memoText(const char* bytes, size_t width);
    void dropLocks(uint32_t keepRecord);

    os::File file_;
    os::File memo_;
    bool memoTried_ = false;
    std::string path_;
    bool shared_ = false;
    bool readOnly_ = false;
    bool written_ = false; // something reached the file since the last sync
    std::string header_;   // the header bytes as stored
    Schema fields_;
    std::vector<size_t> offsets_;
    size_t headerLength_ = 0;
    size_t recordLength_ = 0;
    uint32_t count_ = 0;
    os::FileView view_;  // exclusive tables: the file as far as it was mapped
    int stampedDay_ = 0; // julian day last written into the header
    Lock lock_ = Lock::None;
    uint32_t lockedRecord_ = 0;
};

} // namespace vardo
