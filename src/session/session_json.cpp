#include "session/session_json.h"

#include "core/utf8.h"
#include "overlap/overlap_ops.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvik::session_json {

void fail(const Where& w, const std::string& what) {
    throw SessionFileError("the file is damaged at " + w.text() + ": " + what + ".");
}

bool is_utf8(const std::string& s) {
    return first_byte_not_utf8(s) == std::string_view::npos;
}

namespace {

std::string to_hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
} // namespace

// Numbers. JSON has no NaN or infinities: they are the texts "NaN", "Infinity" and "-Infinity". Finite
// numbers are written with the shortest digits that read back as the same double.

const std::string kNaN = "NaN";
const std::string kInfinity = "Infinity";
const std::string kMinusInfinity = "-Infinity";

Json encode(double x) {
    if (std::isnan(x))
        return kNaN;
    if (std::isinf(x))
        return x > 0 ? kInfinity : kMinusInfinity;
    return x;
}

void decode(const Json& j, const Where& w, double& x) {
    if (j.is_number()) {
        x = j.get<double>();
        return;
    }
    if (j.is_string()) {
        const auto& s = j.get_ref<const std::string&>();
        if (s == kNaN) {
            x = std::numeric_limits<double>::quiet_NaN();
            return;
        }
        if (s == kInfinity || s == kMinusInfinity) {
            x = s == kInfinity ? std::numeric_limits<double>::infinity()
                               : -std::numeric_limits<double>::infinity();
            return;
        }
    }
    fail(w, "expected a number");
}

double finite_number(const Json& j, const Where& w) {
    double x = 0;
    decode(j, w, x);
    if (!std::isfinite(x))
        fail(w, "expected a finite number");
    return x;
}

// A whole count or index, written as a JSON integer.
std::uint64_t count(const Json& j, const Where& w) {
    if (j.is_number_unsigned())
        return j.get<std::uint64_t>();
    if (j.is_number_integer() && j.get<std::int64_t>() >= 0)
        return static_cast<std::uint64_t>(j.get<std::int64_t>());
    fail(w, "expected a whole number that is not negative");
}

Json encode(bool x) {
    return x;
}

void decode(const Json& j, const Where& w, bool& x) {
    if (!j.is_boolean())
        fail(w, "expected true or false");
    x = j.get<bool>();
}

const char* const kBytes = "bytes";

Json encode(const std::string& s) {
    if (is_utf8(s))
        return s;
    Json o = Json::object();
    o[kBytes] = to_hex(s);
    return o;
}

void decode(const Json& j, const Where& w, std::string& s) {
    if (j.is_string()) {
        s = j.get<std::string>();
        return;
    }
    if (j.is_object() && j.size() == 1 && j.contains(kBytes) && j.at(kBytes).is_string()) {
        const auto& hex = j.at(kBytes).get_ref<const std::string&>();
        if (hex.size() % 2 != 0)
            fail(w, "expected an even number of hexadecimal digits");
        s.clear();
        s.reserve(hex.size() / 2);
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int hi = hex_digit(hex[i]);
            const int lo = hex_digit(hex[i + 1]);
            if (hi < 0 || lo < 0)
                fail(w, "expected lower-case hexadecimal digits");
            s += static_cast<char>(hi * 16 + lo);
        }
        return;
    }
    fail(w, "expected a text");
}

Json encode(const ControlRef& r) {
    return encode(r.tag);
}
void decode(const Json& j, const Where& w, ControlRef& r) {
    decode(j, w, r.tag);
}

// A colour is [red, green, blue], each in [0, 1].
Json encode(const Color& c) {
    return Json::array({encode(c.r), encode(c.g), encode(c.b)});
}

void decode(const Json& j, const Where& w, Color& c) {
    if (!j.is_array() || j.size() != 3)
        fail(w, "expected a colour [red, green, blue]");
    std::array<double*, 3> parts = {&c.r, &c.g, &c.b};
    for (std::size_t i = 0; i < 3; ++i) {
        *parts[i] = finite_number(j[i], w.item(i));
        if (*parts[i] < 0 || *parts[i] > 1)
            fail(w.item(i), "expected a colour component between 0 and 1");
    }
}

// A position is [left, bottom, width, height].
Json encode(const Rect& r) {
    return Json::array({encode(r.left), encode(r.bottom), encode(r.width), encode(r.height)});
}

void decode(const Json& j, const Where& w, Rect& r) {
    if (!j.is_array() || j.size() != 4)
        fail(w, "expected a position [left, bottom, width, height]");
    std::array<double*, 4> parts = {&r.left, &r.bottom, &r.width, &r.height};
    for (std::size_t i = 0; i < 4; ++i)
        *parts[i] = finite_number(j[i], w.item(i));
}

// A matrix is its shape and its values row by row.
void decode(const Json& j, const Where& w, Matrix& m) {
    ObjectReader r(j, w);
    const std::uint64_t rows = count(r["rows"], w.field("rows"));
    const std::uint64_t cols = count(r["cols"], w.field("cols"));
    Matrix out;
    decode(r["values"], w.field("values"), out.values);
    r.finish();
    // The shape must account for the values exactly; an empty matrix may not claim a vast side either.
    constexpr std::uint64_t kMaxEmptySide = std::uint64_t{1} << 20;
    const std::uint64_t n = out.values.size();
    const bool fits = rows == 0 || cols == 0 ? n == 0 && rows <= kMaxEmptySide && cols <= kMaxEmptySide
                                             : n % cols == 0 && rows == n / cols;
    if (!fits)
        fail(w, "the shape " + std::to_string(rows) + " x " + std::to_string(cols) + " does not hold " +
                    std::to_string(n) + " values");
    out.rows = static_cast<std::size_t>(rows);
    out.cols = static_cast<std::size_t>(cols);
    m = std::move(out);
}

// A cell is null (empty), a text, or {"number": n}.
const char* const kNumber = "number";

Json encode(const Cell& c) {
    if (const auto* x = std::get_if<double>(&c)) {
        Json o = Json::object();
        o[kNumber] = encode(*x);
        return o;
    }
    if (const auto* s = std::get_if<std::string>(&c))
        return encode(*s);
    return nullptr;
}

void decode(const Json& j, const Where& w, Cell& c) {
    if (j.is_null()) {
        c = std::monostate{};
        return;
    }
    if (j.is_object() && j.size() == 1 && j.contains(kNumber)) {
        double x = 0;
        decode(j.at(kNumber), w.field(kNumber), x);
        c = x;
        return;
    }
    std::string s;
    decode(j, w, s);
    c = std::move(s);
}

template <typename E, typename From>
void decode_name(const Json& j, const Where& w, E& e, From from, const char* what) {
    if (j.is_string())
        if (auto v = from(j.get_ref<const std::string&>())) {
            e = *v;
            return;
        }
    fail(w, std::string("expected ") + what);
}

Json encode(Style s) {
    return std::string(style_name(s));
}
void decode(const Json& j, const Where& w, Style& s) {
    decode_name(j, w, s, style_from_name, "a control style");
}

Json encode(Enable e) {
    return std::string(enable_name(e));
}
void decode(const Json& j, const Where& w, Enable& e) {
    decode_name(j, w, e, enable_from_name, "\"on\", \"off\" or \"inactive\"");
}

Json encode(Align a) {
    return std::string(align_name(a));
}
void decode(const Json& j, const Where& w, Align& a) {
    decode_name(j, w, a, align_from_name, "\"left\", \"center\" or \"right\"");
}

Json encode(Pointer p) {
    return p == Pointer::Watch ? "watch" : "arrow";
}
void decode(const Json& j, const Where& w, Pointer& p) {
    const auto from = [](std::string_view n) -> std::optional<Pointer> {
        if (n == "arrow")
            return Pointer::Arrow;
        if (n == "watch")
            return Pointer::Watch;
        return std::nullopt;
    };
    decode_name(j, w, p, from, "\"arrow\" or \"watch\"");
}

Json encode(FitOrientation o) {
    return std::string(orientation_name(o));
}
void decode(const Json& j, const Where& w, FitOrientation& o) {
    decode_name(j, w, o, orientation_from_name, "\"line\" or \"mirrored\"");
}

// The overlap table: a list of [[i, j], cell], smaller index first, each pair once.
void decode(const Json& j, const Where& w, std::map<std::pair<int, int>, OverlapCell>& table) {
    if (!j.is_array())
        fail(w, "expected a list of [[i, j], cell] entries");
    table.clear();
    for (std::size_t k = 0; k < j.size(); ++k) {
        const Where at = w.item(k);
        const Json& entry = j[k];
        if (!entry.is_array() || (entry.size() != 2 && entry.size() != 3) || !entry[0].is_array() ||
            entry[0].size() != 2)
            fail(at, "expected an entry [[i, j], cell] or [[i, j], counts3D, counts2D]");
        const std::uint64_t i = count(entry[0][0], at.item(0).item(0));
        const std::uint64_t jj = count(entry[0][1], at.item(0).item(1));
        constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
        if (i < 1 || jj < 1 || i > kMax || jj > kMax)
            fail(at.item(0), "group indices count from 1");
        if (i > jj)
            fail(at.item(0), "the smaller group index comes first");
        const std::pair<int, int> key{static_cast<int>(i), static_cast<int>(jj)};
        if (table.contains(key))
            fail(at.item(0),
                 "the pair [" + std::to_string(i) + ", " + std::to_string(jj) + "] appears twice");
        if (entry.size() == 2) {
            decode(entry[1], at.item(1), table[key]);
            continue;
        }
        // Counts only: the shares follow from them.
        OverlapCell& cell = table[key];
        for (const bool threeD : {true, false}) {
            const std::size_t item = threeD ? 1 : 2;
            const Json& counts = entry[item];
            if (counts.is_null())
                continue;
            if (!counts.is_array() || counts.size() != 3)
                fail(at.item(item), "expected the counts [E1sum, E2sum, Ebothsum] or null");
            long long sums[3];
            for (std::size_t c = 0; c < 3; ++c) {
                double x = 0;
                decode(counts[c], at.item(item).item(c), x);
                if (!is_count(x))
                    fail(at.item(item).item(c), "expected a count, a whole number from 0");
                sums[c] = static_cast<long long>(x);
            }
            const OverlapShares s = overlap_shares(sums[0], sums[1], sums[2]);
            set_pair_results(cell, threeD,
                             {s.value, s.E1ovfrac, s.E2ovfrac, static_cast<double>(s.E1sum),
                              static_cast<double>(s.E2sum), static_cast<double>(s.Ebothsum)});
        }
    }
}
} // namespace tarvik::session_json
