#include "store/keyexpr.h"

#include <bit>
#include <cctype>
#include <cstring>

namespace vardo {

namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Eight bytes that compare, byte by byte, as the numbers do.
void numberKey(double value, std::string& out) {
    if (value == 0.0) value = 0.0; // one zero, not two
    uint64_t bits = std::bit_cast<uint64_t>(value);
    bits = (bits & (1ULL << 63)) ? ~bits : bits ^ (1ULL << 63);
    for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

} // namespace

// Recursive descent over the text; every node is typed as it is built, so a
// text that mixes kinds where the language does not allow it fails to compile.
class KeyExpr::Parser {
public:
    Parser(std::string_view text, const Schema& fields, std::vector<Node>& nodes)
        : s_(text), fields_(fields), nodes_(nodes) {}

    bool parse() {
        int root = expression();
        skipBlanks();
        return root >= 0 && at_ == s_.size();
    }

private:
    void skipBlanks() {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
    }
    bool accept(char c) {
        skipBlanks();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool acceptArrow() {
        skipBlanks();
        if (s_.substr(at_, 2) != "->") return false;
        at_ += 2;
        return true;
    }
    std::string identifier() {
        skipBlanks();
        size_t start = at_;
        while (at_ < s_.size() &&
               (std::isalnum(static_cast<unsigned char>(s_[at_])) || s_[at_] == '_'))
            ++at_;
        if (start < s_.size() && std::isdigit(static_cast<unsigned char>(s_[start]))) {
            at_ = start;
            return {};
        }
        return upperAscii(s_.substr(start, at_ - start));
    }
    int add(Node n) {
        nodes_.push_back(n);
        return static_cast<int>(nodes_.size() - 1);
    }
    const Node& node(int i) const { return nodes_[static_cast<size_t>(i)]; }

    int expression() {
        int left = unary();
        while (left >= 0 && accept('+')) {
            int right = unary();
            if (right < 0 || node(left).type != 'C' || node(right).type != 'C') return -1;
            left =
                add({Op::Concat, 'C', 0, node(left).width + node(right).width, 0, 0, left, right});
        }
        return left;
    }

    int unary() {
        if (accept('!')) {
            int a = unary();
            if (a < 0 || node(a).type != 'L') return -1;
            return add({Op::Not, 'L', 0, 0, 0, 0, a});
        }
        return primary();
    }

    int primary() {
        if (accept('(')) {
            int inner = expression();
            return inner >= 0 && accept(')') ? inner : -1;
        }
        skipBlanks();
        if (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_]))) return literal();
        std::string name = identifier();
        if (name.empty()) return -1;
        if (accept('(')) return call(name);
        if (name == "FIELD" && acceptArrow()) name = identifier();
        return field(name);
    }

    int literal() {
        size_t start = at_;
        while (at_ < s_.size() &&
               (std::isdigit(static_cast<unsigned char>(s_[at_])) || s_[at_] == '.'))
            ++at_;
        Node n{Op::Literal, 'N'};
        n.number = std::strtod(std::string(s_.substr(start, at_ - start)).c_str(), nullptr);
        return add(n);
    }

    int field(const std::string& name) {
        size_t offset = 1;
        for (const auto& f : fields_) {
            if (f.name == name) {
                Node n{Op::Text, 'C', offset, static_cast<size_t>(f.width), f.decimals};
                switch (f.type) {
                case 'N':
                    n.op = Op::Number, n.type = 'N';
                    break;
                case 'D':
                    n.op = Op::Date, n.type = 'D';
                    break;
                case 'L':
                    n.op = Op::Logical, n.type = 'L';
                    break;
                default:
                    break;
                }
                return add(n);
            }
            offset += static_cast<size_t>(f.width);
        }
        return -1;
    }

    // The literal number of a STR argument, -1 when it is not one.
    int wholeLiteral(int i) const {
        if (i < 0 || node(i).op != Op::Literal) return -1;
        return static_cast<int>(node(i).number);
    }

    int call(const std::string& name) {
        std::vector<int> args;
        if (!accept(')')) {
            do {
                int a = expression();
                if (a < 0) return -1;
                args.push_back(a);
            } while (accept(','));
            if (!accept(')')) return -1;
        }
        auto argType = [&](size_t k) { return node(args[k]).type; };
        if (name == "RECNO" && args.empty()) return add({Op::Recno, 'N'});
        if (name == "DELETED" && args.empty()) return add({Op::Deleted, 'L'});
        if (args.size() != 1 && name != "STR") return -1;
        if (name == "YEAR" && argType(0) == 'D') return add({Op::Year, 'N', 0, 0, 0, 0, args[0]});
        if (name == "DTOS" && argType(0) == 'D') return add({Op::Dtos, 'C', 0, 8, 0, 0, args[0]});
        if (name == "UPPER" && argType(0) == 'C')
            return add({Op::Upper, 'C', 0, node(args[0]).width, 0, 0, args[0]});
        if (name == "STR" && !args.empty() && args.size() <= 3 && argType(0) == 'N') {
            const Node& x = node(args[0]);
            int width = x.op == Op::Number ? static_cast<int>(x.width) : x.op == Op::Year ? 5 : 10;
            int decimals = x.op == Op::Number ? x.decimals : 0;
            if (args.size() >= 2) {
                width = wholeLiteral(args[1]);
                decimals = args.size() == 3 ? wholeLiteral(args[2]) : 0;
                if (width < 1 || width > static_cast<int>(kMaxKeyLength) || decimals < 0) return -1;
            }
            return add({Op::Str, 'C', 0, static_cast<size_t>(width), decimals, 0, args[0]});
        }
        return -1;
    }

    std::string_view s_;
    const Schema& fields_;
    std::vector<Node>& nodes_;
    size_t at_ = 0;
};

std::optional<KeyExpr> KeyExpr::compile(std::string_view text, const Schema& fields) {
    KeyExpr e;
    if (!Parser(text, fields, e.nodes_).parse()) return std::nullopt;
    return e;
}

char KeyExpr::type() const {
    return nodes_.back().type;
}

size_t KeyExpr::keyLength() const {
    switch (type()) {
    case 'C':
        return std::min(nodes_.back().width, kMaxKeyLength);
    case 'L':
        return 1;
    default:
        return 8;
    }
}

void KeyExpr::text(int i, const char* rec, uint32_t recno, std::string& out) const {
    const Node& n = nodes_[static_cast<size_t>(i)];
    switch (n.op) {
    case Op::Text:
        out.append(rec + n.offset, n.width);
        return;
    case Op::Concat:
        text(n.a, rec, recno, out);
        text(n.b, rec, recno, out);
        return;
    case Op::Upper: {
        size_t start = out.size();
        text(n.a, rec, recno, out);
        for (size_t k = start; k < out.size(); ++k)
            if (out[k] >= 'a' && out[k] <= 'z') out[k] = static_cast<char>(out[k] - 'a' + 'A');
        return;
    }
    case Op::Dtos:
        out += date(n.a, rec).storage();
        return;
    case Op::Str: {
        size_t start = out.size();
        out.resize(start + n.width);
        formatNumber(number(n.a, rec, recno), static_cast<int>(n.width), n.decimals, &out[start]);
        return;
    }
    default:
        return;
    }
}

double KeyExpr::number(int i, const char* rec, uint32_t recno) const {
    const Node& n = nodes_[static_cast<size_t>(i)];
    switch (n.op) {
    case Op::Number:
        return asNumber(decodeField({{}, 'N', static_cast<int>(n.width)}, rec + n.offset));
    case Op::Literal:
        return n.number;
    case Op::Year:
        return date(n.a, rec).year();
    case Op::Recno:
        return recno;
    default:
        return 0;
    }
}

Date KeyExpr::date(int i, const char* rec) const {
    const Node& n = nodes_[static_cast<size_t>(i)];
    return Date::fromStorage(std::string_view(rec + n.offset, n.width));
}

bool KeyExpr::logical(int i, const char* rec, uint32_t recno) const {
    const Node& n = nodes_[static_cast<size_t>(i)];
    switch (n.op) {
    case Op::Logical:
        return asBool(decodeField({{}, 'L', 1}, rec + n.offset));
    case Op::Deleted:
        return rec[0] == '*';
    case Op::Not:
        return !logical(n.a, rec, recno);
    default:
        return false;
    }
}

void KeyExpr::key(const char* rec, uint32_t recno, std::string& out) const {
    out.clear();
    const int root = static_cast<int>(nodes_.size() - 1);
    switch (type()) {
    case 'C':
        text(root, rec, recno, out);
        if (out.size() > kMaxKeyLength) out.resize(kMaxKeyLength);
        return;
    case 'N':
        numberKey(number(root, rec, recno), out);
        return;
    case 'D':
        numberKey(date(root, rec).julianDay(), out);
        return;
    default:
        out += logical(root, rec, recno) ? 'T' : 'F';
        return;
    }
}

bool KeyExpr::test(const char* rec, uint32_t recno) const {
    return type() == 'L' && logical(static_cast<int>(nodes_.size() - 1), rec, recno);
}

void KeyExpr::keyOfValue(const Value& value, char type, size_t length, std::string& out) {
    out.clear();
    switch (type) {
    case 'C':
        out = asText(value);
        out.resize(length, ' ');
        return;
    case 'N':
        numberKey(asNumber(value), out);
        return;
    case 'D':
        numberKey(asDate(value).julianDay(), out);
        return;
    default:
        out += asBool(value) ? 'T' : 'F';
        return;
    }
}

std::string KeyExpr::seekBytes(const Value& value, char type, size_t length) {
    if (type == 'C') return asText(value).substr(0, std::min(asText(value).size(), length));
    std::string out;
    keyOfValue(value, type, length, out);
    return out;
}

} // namespace vardo
