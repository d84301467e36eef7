#pragma once
// The key and condition texts of the indexes, compiled once against a table's
// fields and then evaluated straight on record bytes. The language is the small
// part of the expression syntax the program's indexes use: field names (any
// case, "FIELD->" allowed), STR(x), STR(x, n), STR(x, n, d), YEAR(d), UPPER(c),
// DTOS(d), RECNO(), DELETED(), "!" and "+" between texts.
//
// Keys compare byte by byte: a character key keeps the full width of its text
// (at most 240 bytes); numbers and dates take 8 bytes that sort as the values do
// (the empty date first); a logical key is "F" or "T".

#include "common/value.h"
#include "store/dbf.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardo {

inline constexpr size_t kMaxKeyLength = 240;

class KeyExpr {
public:
    // nullopt when the text is not an expression of the language over these fields.
    static std::optional<KeyExpr> compile(std::string_view text, const Schema& fields);

    char type() const; // 'C', 'N', 'D' or 'L'
    size_t keyLength() const;
    // The key of a record (its bytes and number) into `out`.
    void key(const char* record, uint32_t recno, std::string& out) const;
    // The truth of a logical expression for a record.
    bool test(const char* record, uint32_t recno) const;

    // The key bytes of a value for a key of this type and length; a text is cut
    // or blank-filled to the length.
    static void keyOfValue(const Value& value, char type, size_t length, std::string& out);
    // The bytes a seek compares with the beginning of each key: a text as it is
    // (cut to the key length), any other value as its whole key.
    static std::string seekBytes(const Value& value, char type, size_t length);

    enum class Op : uint8_t {
        Text,    // a character field (or a type this program does not write), as text
        Number,  // a numeric field
        Date,    // a date field
        Logical, // a logical field
        Literal, // a number written in the text
        Str,     // STR(a) with `width` places and `decimals`
        Year,    // YEAR(a)
        Upper,   // UPPER(a)
        Dtos,    // DTOS(a)
        Recno,   // RECNO()
        Deleted, // DELETED()
        Not,     // !a
        Concat,  // a + b
    };
    struct Node {
        Op op;
        char type;          // of the result: 'C', 'N', 'D', 'L'
        size_t offset = 0;  // of the field within the record
        size_t width = 0;   // of a field or of a text result
        int decimals = 0;   // of a numeric field or of STR
        double number = 0;  // a literal
        int a = -1, b = -1; // operands: indexes into nodes_
    };

private:
    class Parser;
    void text(int node, const char* record, uint32_t recno, std::string& out) const;
    double number(int node, const char* record, uint32_t recno) const;
    vardo::Date date(int node, const char* record) const;
    bool logical(int node, const char* record, uint32_t recno) const;

    std::vector<Node> nodes_; // the root is the last node
};

} // namespace vardo
