#include "app/session_file.h"

#include "core/file_write.h"
#include "core/grid_bounds.h"
#include "ui/layout.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <set>
#include <type_traits>

namespace tarvik {

namespace {

// Members keep the order they were written in, so that a file reads in the record's own field order.
using Json = nlohmann::ordered_json;

// No session this program writes comes near this; a larger file is refused before it is read.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{4} << 30;

// The deepest nesting of lists and records a session may have.
constexpr int kMaxDepth = 100;

// ---------------------------------------------------------------------------------------------------
// Where a value sits in the document, for the error message. Built on the stack while reading and
// turned into text only when something is wrong.

struct Where {
    enum class Kind { Root, Field, Item, Key };
    const Where* parent = nullptr;
    Kind kind = Kind::Root;
    std::string_view name; // Root, Field and Key
    std::size_t index = 0; // Item

    Where field(std::string_view n) const { return {this, Kind::Field, n, 0}; }
    Where item(std::size_t i) const { return {this, Kind::Item, {}, i}; }
    Where key(std::string_view k) const { return {this, Kind::Key, k, 0}; }

    std::string text() const {
        std::string out = path();
        return out.empty() ? "the top" : out;
    }

  private:
    std::string path() const {
        std::string out = parent ? parent->path() : std::string();
        switch (kind) {
        case Kind::Root:
            break;
        case Kind::Field:
            out += (out.empty() ? "" : ".") + std::string(name);
            break;
        case Kind::Item:
            out += "[" + std::to_string(index) + "]";
            break;
        case Kind::Key:
            out += "[\"" + std::string(name) + "\"]";
            break;
        }
        return out;
    }
};

[[noreturn]] void fail(const Where& w, const std::string& what) {
    throw SessionFileError("the file is damaged at " + w.text() + ": " + what + ".");
}

// ---------------------------------------------------------------------------------------------------
// Texts. JSON texts are UTF-8; a text that is not (a stray byte of another encoding in a file name or a
// data line) is written as its bytes in hexadecimal, so that it still comes back byte for byte.

bool is_utf8(const std::string& s) {
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    // The library's own check, so that whatever passes here is also what it will write.
    try {
        (void)Json(s).dump();
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

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

// ---------------------------------------------------------------------------------------------------
// Reading an object field by field: every field must be there, and none may be left over.

class ObjectReader {
  public:
    ObjectReader(const Json& j, const Where& w) : j_(j), w_(w) {
        if (!j.is_object())
            fail(w, "expected an object");
    }
    const Json& operator[](const std::string& key) {
        auto it = j_.find(key);
        if (it == j_.end())
            fail(w_, "the field \"" + key + "\" is missing");
        read_.insert(key);
        return *it;
    }
    // Every field has been read: anything else in the object is unknown.
    void finish() const {
        if (read_.size() == j_.size())
            return;
        for (auto it = j_.begin(); it != j_.end(); ++it)
            if (!read_.contains(it.key()))
                fail(w_, "unknown field \"" + it.key() + "\"");
    }

  private:
    const Json& j_;
    const Where& w_;
    std::set<std::string> read_;
};

// ---------------------------------------------------------------------------------------------------
// Every record type lists its fields once; writing and reading walk the same list.

template <typename S, typename T>
concept Is = std::same_as<std::remove_const_t<S>, T>;

template <typename F, Is<HeaderNames> S> void fields(F&& f, S& x) {
    f("Subject", x.Subject);
    f("Vowel", x.Vowel);
    f("F1", x.F1);
    f("F2", x.F2);
    f("Duration", x.Duration);
    f("PhraseDuration", x.PhraseDuration);
}

template <typename F, Is<VowelTarget> S> void fields(F&& f, S& x) {
    f("F1", x.F1);
    f("F2", x.F2);
    f("Duration", x.Duration);
    f("PhraseDuration", x.PhraseDuration);
    f("RowLocation", x.RowLocation);
    f("log", x.log);
}

template <typename F, Is<NormalizationStats> S> void fields(F&& f, S& x) {
    f("grandmean", x.grandmean);
}

template <typename F, Is<SubjectRecord> S> void fields(F&& f, S& x) {
    f("vowelTargets", x.vowelTargets);
    f("normalizedTargets", x.normalizedTargets);
    f("normalization", x.normalization);
    f("grandmeanDuration", x.grandmeanDuration);
    f("stdDuration", x.stdDuration);
}

template <typename F, Is<VowelGroup> S> void fields(F&& f, S& x) {
    f("name", x.name);
    f("constraintList", x.constraintList);
    f("constraints", x.constraints);
    f("data", x.data);
    f("dataOriginal", x.dataOriginal);
    f("markerColor", x.markerColor);
    f("markerColorIndex", x.markerColorIndex);
    f("markerType", x.markerType);
    f("markerLine", x.markerLine);
    f("avg2D", x.avg2D);
    f("star", x.star);
    f("xstar", x.xstar);
    f("ystar", x.ystar);
    f("theta2D", x.theta2D);
    f("rottheta2D", x.rottheta2D);
    f("A2D", x.A2D);
    f("B2D", x.B2D);
    f("ellps2D", x.ellps2D);
    f("avg", x.avg);
    f("dubstar", x.dubstar);
    f("xdubstar", x.xdubstar);
    f("ydubstar", x.ydubstar);
    f("zdubstar", x.zdubstar);
    f("theta", x.theta);
    f("phi", x.phi);
    f("rottheta", x.rottheta);
    f("rotphi", x.rotphi);
    f("A", x.A);
    f("B", x.B);
    f("C", x.C);
    f("ellps3D", x.ellps3D);
    f("Ecoordx2D", x.Ecoordx2D);
    f("Ecoordy2D", x.Ecoordy2D);
    f("Ecoordx", x.Ecoordx);
    f("Ecoordy", x.Ecoordy);
    f("Ecoordz", x.Ecoordz);
}

template <typename F, Is<OverlapCell> S> void fields(F&& f, S& x) {
    f("value", x.value);
    f("E1ovfrac", x.E1ovfrac);
    f("E2ovfrac", x.E2ovfrac);
    f("Bothcoordx", x.Bothcoordx);
    f("Bothcoordy", x.Bothcoordy);
    f("Bothcoordz", x.Bothcoordz);
    f("E1sum", x.E1sum);
    f("E2sum", x.E2sum);
    f("Ebothsum", x.Ebothsum);
    f("value2D", x.value2D);
    f("E1ovfrac2D", x.E1ovfrac2D);
    f("E2ovfrac2D", x.E2ovfrac2D);
    f("Bothcoordx2D", x.Bothcoordx2D);
    f("Bothcoordy2D", x.Bothcoordy2D);
    f("E1sum2D", x.E1sum2D);
    f("E2sum2D", x.E2sum2D);
    f("Ebothsum2D", x.Ebothsum2D);
}

template <typename F, Is<OverlapResolution> S> void fields(F&& f, S& x) {
    f("n", x.n);
    f("m", x.m);
    f("s", x.s);
}

template <typename F, Is<Axes3D> S> void fields(F&& f, S& x) {
    f("Xwidth", x.Xwidth);
    f("Ylength", x.Ylength);
    f("Zheight", x.Zheight);
}

template <typename F, Is<Axes2D> S> void fields(F&& f, S& x) {
    f("Xwidth", x.Xwidth);
    f("Ylength", x.Ylength);
}

template <typename F, Is<WebSettings> S> void fields(F&& f, S& x) {
    f("homepage", x.homepage);
    f("extension", x.extension);
    f("isWorking", x.isWorking);
}

template <typename F, Is<Handles> S> void fields(F&& f, S& x) {
    f("objects", x.objects);
    f("output", x.output);
    f("header", x.header);
    f("dataLine", x.dataLine);
    f("dataRow", x.dataRow);
    f("dataColumn", x.dataColumn);
    f("dataNormalizedColumn", x.dataNormalizedColumn);
    f("HeaderName", x.HeaderName);
    f("onlyAllow2D", x.onlyAllow2D);
    f("dataSubject", x.dataSubject);
    f("groups", x.groups);
    f("groupsNumeric", x.groupsNumeric);
    f("subgroup", x.subgroup);
    f("currentSelectedGroup", x.currentSelectedGroup);
    f("currentSelectedType", x.currentSelectedType);
    f("v", x.v);
    f("currVowelNum", x.currVowelNum);
    f("totalVowelNum", x.totalVowelNum);
    f("vowelColor", x.vowelColor);
    f("vowelLineStyle", x.vowelLineStyle);
    f("vowelMarkerType", x.vowelMarkerType);
    f("stdmult", x.stdmult);
    f("fitOrientation", x.fitOrientation);
    f("overlapResolution", x.overlapResolution);
    f("overlap", x.overlap);
    f("axes3D", x.axes3D);
    f("axes3DOriginal", x.axes3DOriginal);
    f("axes2D", x.axes2D);
    f("axes2DOriginal", x.axes2DOriginal);
    f("waitbar", x.waitbar);
    f("plotFigure", x.plotFigure);
    f("currentAxes", x.currentAxes);
    f("currStep", x.currStep);
    f("stepObjects", x.stepObjects);
    f("stepFrames", x.stepFrames);
    f("frameColor", x.frameColor);
    f("frameColorHighlight", x.frameColorHighlight);
    f("web", x.web);
    f("aboutMessage", x.aboutMessage);
}

template <typename F, Is<Control> S> void fields(F&& f, S& x) {
    f("tag", x.tag);
    f("style", x.style);
    f("parent", x.parent);
    f("string", x.string);
    f("value", x.value);
    f("min", x.min);
    f("max", x.max);
    f("enable", x.enable);
    f("visible", x.visible);
    f("background", x.background);
    f("foreground", x.foreground);
    f("bold", x.bold);
    f("fontSize", x.fontSize);
    f("alignment", x.alignment);
    f("position", x.position);
    f("tooltip", x.tooltip);
    f("callback", x.callback);
    f("createFcn", x.createFcn);
    f("buttonDownFcn", x.buttonDownFcn);
    f("separator", x.separator);
    f("discardWhileBusy", x.discardWhileBusy);
}

template <typename F, Is<WindowProps> S> void fields(F&& f, S& x) {
    f("name", x.name);
    f("color", x.color);
    f("pixelPosition", x.pixelPosition);
    f("visible", x.visible);
    f("resizable", x.resizable);
    f("numberTitle", x.numberTitle);
    f("menuBar", x.menuBar);
    f("pointer", x.pointer);
}

template <typename T>
concept RecordType = requires(T& t) {
    fields([](const char*, auto&) {}, t);
};

// ---------------------------------------------------------------------------------------------------
// One encoder and one decoder per type. All are declared before any is defined, so that the generic
// ones find the specific ones whatever the order of definition.

Json encode(double x);
Json encode(bool x);
Json encode(const std::string& s);
Json encode(const ControlRef& r);
Json encode(const Color& c);
Json encode(const Rect& r);
Json encode(const Cell& c);
Json encode(Style s);
Json encode(Enable e);
Json encode(Align a);
Json encode(Pointer p);
Json encode(FitOrientation o);
template <typename T> Json encode(const std::vector<T>& list);
template <typename T, std::size_t N> Json encode(const std::array<T, N>& list);
template <typename T> Json encode(const std::optional<T>& value);
template <typename T> Json encode(const Shared<T>& value);
template <typename T> Json encode(const OrderedMap<T>& map);
template <RecordType S> Json encode(const S& record);

void decode(const Json& j, const Where& w, double& x);
void decode(const Json& j, const Where& w, bool& x);
void decode(const Json& j, const Where& w, std::string& s);
void decode(const Json& j, const Where& w, ControlRef& r);
void decode(const Json& j, const Where& w, Color& c);
void decode(const Json& j, const Where& w, Rect& r);
void decode(const Json& j, const Where& w, Matrix& m);
void decode(const Json& j, const Where& w, Cell& c);
void decode(const Json& j, const Where& w, Style& s);
void decode(const Json& j, const Where& w, Enable& e);
void decode(const Json& j, const Where& w, Align& a);
void decode(const Json& j, const Where& w, Pointer& p);
void decode(const Json& j, const Where& w, FitOrientation& o);
void decode(const Json& j, const Where& w, std::map<std::pair<int, int>, OverlapCell>& table);
template <typename T> void decode(const Json& j, const Where& w, std::vector<T>& list);
template <typename T, std::size_t N> void decode(const Json& j, const Where& w, std::array<T, N>& list);
template <typename T> void decode(const Json& j, const Where& w, std::optional<T>& value);
template <typename T> void decode(const Json& j, const Where& w, Shared<T>& value);
template <typename T> void decode(const Json& j, const Where& w, OrderedMap<T>& map);
template <RecordType S> void decode(const Json& j, const Where& w, S& record);

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
        if (!entry.is_array() || entry.size() != 2 || !entry[0].is_array() || entry[0].size() != 2)
            fail(at, "expected an entry [[i, j], cell]");
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
        decode(entry[1], at.item(1), table[key]);
    }
}

template <typename T> Json encode(const std::vector<T>& list) {
    Json a = Json::array();
    for (const auto& x : list)
        a.push_back(encode(x));
    return a;
}

template <typename T> void decode(const Json& j, const Where& w, std::vector<T>& list) {
    if (!j.is_array())
        fail(w, "expected a list");
    std::vector<T> out(j.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        decode(j[i], w.item(i), out[i]);
    list = std::move(out);
}

template <typename T, std::size_t N> Json encode(const std::array<T, N>& list) {
    Json a = Json::array();
    for (const auto& x : list)
        a.push_back(encode(x));
    return a;
}

template <typename T, std::size_t N> void decode(const Json& j, const Where& w, std::array<T, N>& list) {
    if (!j.is_array() || j.size() != N)
        fail(w, "expected a list of " + std::to_string(N) + " entries");
    for (std::size_t i = 0; i < N; ++i)
        decode(j[i], w.item(i), list[i]);
}

// A field that does not exist yet is null.
template <typename T> Json encode(const std::optional<T>& value) {
    return value ? encode(*value) : Json(nullptr);
}

template <typename T> void decode(const Json& j, const Where& w, std::optional<T>& value) {
    if (j.is_null()) {
        value.reset();
        return;
    }
    T x{};
    decode(j, w, x);
    value = std::move(x);
}

template <typename T> Json encode(const Shared<T>& value) {
    return encode(value.get());
}

template <typename T> void decode(const Json& j, const Where& w, Shared<T>& value) {
    T x{};
    decode(j, w, x);
    value = std::move(x);
}

// A keyed record is a list of [key, value] pairs in its own order; keys may be any text, each once.
template <typename T> Json encode(const OrderedMap<T>& map) {
    Json a = Json::array();
    for (const auto& [key, value] : map)
        a.push_back(Json::array({encode(key), encode(value)}));
    return a;
}

template <typename T> void decode(const Json& j, const Where& w, OrderedMap<T>& map) {
    if (!j.is_array())
        fail(w, "expected a list of [key, value] pairs");
    OrderedMap<T> out;
    for (std::size_t i = 0; i < j.size(); ++i) {
        const Json& pair = j[i];
        if (!pair.is_array() || pair.size() != 2)
            fail(w.item(i), "expected a pair [key, value]");
        std::string key;
        decode(pair[0], w.item(i), key);
        if (out.contains(key))
            fail(w.item(i), "the key \"" + key + "\" appears twice");
        decode(pair[1], w.key(key), out[key]);
    }
    map = std::move(out);
}

template <RecordType S> Json encode(const S& record) {
    Json o = Json::object();
    fields([&](const char* name, const auto& value) { o[name] = encode(value); }, record);
    return o;
}

template <RecordType S> void decode(const Json& j, const Where& w, S& record) {
    ObjectReader r(j, w);
    fields([&](const char* name, auto& value) { decode(r[name], w.field(name), value); }, record);
    r.finish();
}

// ---------------------------------------------------------------------------------------------------
// The document as a whole.

// The objects must be this version's window: the same tags in the same order, each wired the same way.
// Their state (texts, values, states, colours, positions, tooltips) is the session's own.
void check_objects(const std::vector<Control>& objects, const Where& w) {
    const std::vector<Control> layout = main_window_layout();
    std::set<std::string, std::less<>> known;
    for (const auto& c : layout)
        known.insert(c.tag);
    std::set<std::string, std::less<>> seen;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::string& tag = objects[i].tag;
        if (!known.contains(tag))
            fail(w.item(i), "\"" + tag + "\" is not an object of this version's main window");
        if (!seen.insert(tag).second)
            fail(w.item(i), "the object \"" + tag + "\" appears twice");
    }
    for (const auto& c : layout)
        if (!seen.contains(c.tag))
            fail(w, "the object \"" + c.tag + "\" of the main window is missing");
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const Control& got = objects[i];
        const Control& want = layout[i];
        const Where at = w.item(i);
        if (got.tag != want.tag)
            fail(at, "the object \"" + got.tag + "\" is out of place; \"" + want.tag + "\" belongs here");
        const auto differs = [&](const char* what) {
            fail(at, "the object \"" + got.tag + "\" has a " + what + " other than this version's");
        };
        if (got.style != want.style)
            differs("style");
        if (got.parent != want.parent)
            differs("parent");
        if (got.callback != want.callback || got.createFcn != want.createFcn ||
            got.buttonDownFcn != want.buttonDownFcn)
            differs("handler");
        if (got.separator != want.separator || got.discardWhileBusy != want.discardWhileBusy)
            differs("menu or click behaviour");
        // Values are item indices and check marks; handlers turn them into indices.
        for (std::size_t k = 0; k < got.value.size(); ++k) {
            const double v = got.value[k];
            if (!(v >= 0 && v <= std::numeric_limits<int>::max() && v == std::floor(v)))
                fail(at.field("value").item(k),
                     "expected a whole number from 0 to " + std::to_string(std::numeric_limits<int>::max()));
        }
        for (const auto& [name, v] :
             {std::pair{"min", got.min}, {"max", got.max}, {"fontSize", got.fontSize}})
            if (!std::isfinite(v))
                fail(at.field(name), "expected a finite number");
    }
}

// Every control reference of the record names an object of the window; the wizard is in one of its steps.
void check_record(const Handles& h, const std::vector<Control>& objects, const Where& w) {
    std::set<std::string, std::less<>> tags = {Figure::kWindowTag};
    for (const auto& c : objects)
        tags.insert(c.tag);
    const auto check_tag = [&](const std::string& tag, const Where& at) {
        if (!tags.contains(tag))
            fail(at, "\"" + tag + "\" is not an object of the main window");
    };
    for (const auto& [name, ref] : h.objects)
        check_tag(ref.tag, w.field("objects").key(name));
    if (h.output)
        check_tag(h.output->tag, w.field("output"));
    for (std::size_t s = 0; s < h.stepObjects.size(); ++s)
        for (std::size_t i = 0; i < h.stepObjects[s].size(); ++i)
            check_tag(h.stepObjects[s][i].tag, w.field("stepObjects").item(s).item(i));
    for (std::size_t s = 0; s < h.stepFrames.size(); ++s)
        for (std::size_t i = 0; i < h.stepFrames[s].size(); ++i)
            check_tag(h.stepFrames[s][i], w.field("stepFrames").item(s).item(i));
    if (!(h.currStep == 1 || h.currStep == 2 || h.currStep == 3 || h.currStep == 4))
        fail(w.field("currStep"), "the wizard has steps 1 to 4");
    // The overlap grid: a huge resolution would keep the calculation busy for hours and fill the memory.
    for (const auto& [name, steps] :
         {std::pair{"n", h.overlapResolution.n}, {"m", h.overlapResolution.m}, {"s", h.overlapResolution.s}})
        if (!(steps >= 1 && steps <= kMaxGridSteps && steps == std::floor(steps)))
            fail(w.field("overlapResolution").field(name),
                 "expected a whole number from 1 to " + std::to_string(kMaxGridSteps));
}

const std::string kFormat = "format";
const std::string kVersion = "version";

// ---------------------------------------------------------------------------------------------------
// Writing straight into the text, member by member as encode lists them: only the smallest values (a
// number, a text, a colour) are ever built as JSON, so that saving needs little more memory than the
// text itself. The text is the compact form of the encoded document, byte for byte.

void append_json(std::string& out, const Json& value);
template <typename T> void append_json(std::string& out, const T& value);
template <typename T> void append_json(std::string& out, const std::vector<T>& list);
template <typename T, std::size_t N> void append_json(std::string& out, const std::array<T, N>& list);
template <typename T> void append_json(std::string& out, const std::optional<T>& value);
template <typename T> void append_json(std::string& out, const Shared<T>& value);
template <typename T> void append_json(std::string& out, const OrderedMap<T>& map);
template <RecordType S> void append_json(std::string& out, const S& record);
void append_json(std::string& out, const Matrix& m);
void append_json(std::string& out, const std::map<std::pair<int, int>, OverlapCell>& table);

template <typename T> void append_member(std::string& out, const std::string& name, const T& value, bool first = false) {
    if (!first)
        out += ',';
    out += Json(name).dump();
    out += ':';
    append_json(out, value);
}

void append_json(std::string& out, const Json& value) {
    out += value.dump();
}

template <typename T> void append_json(std::string& out, const T& value) {
    out += encode(value).dump();
}

template <typename List> void append_list(std::string& out, const List& list) {
    out += '[';
    bool first = true;
    for (const auto& x : list) {
        if (!first)
            out += ',';
        first = false;
        append_json(out, x);
    }
    out += ']';
}

template <typename T> void append_json(std::string& out, const std::vector<T>& list) {
    append_list(out, list);
}

template <typename T, std::size_t N> void append_json(std::string& out, const std::array<T, N>& list) {
    append_list(out, list);
}

template <typename T> void append_json(std::string& out, const std::optional<T>& value) {
    if (value)
        append_json(out, *value);
    else
        out += "null";
}

template <typename T> void append_json(std::string& out, const Shared<T>& value) {
    append_json(out, value.get());
}

template <typename T> void append_json(std::string& out, const OrderedMap<T>& map) {
    out += '[';
    bool first = true;
    for (const auto& [key, value] : map) {
        out += first ? "[" : ",[";
        first = false;
        append_json(out, key);
        out += ',';
        append_json(out, value);
        out += ']';
    }
    out += ']';
}

template <RecordType S> void append_json(std::string& out, const S& record) {
    out += '{';
    bool first = true;
    fields([&](const char* name, const auto& value) {
        append_member(out, name, value, first);
        first = false;
    }, record);
    out += '}';
}

void append_json(std::string& out, const Matrix& m) {
    out += "{\"rows\":" + Json(m.rows).dump() + ",\"cols\":" + Json(m.cols).dump() + ",\"values\":";
    append_list(out, m.values);
    out += '}';
}

void append_json(std::string& out, const std::map<std::pair<int, int>, OverlapCell>& table) {
    out += '[';
    bool first = true;
    for (const auto& [pair, cell] : table) {
        out += (first ? "[" : ",[") + Json::array({pair.first, pair.second}).dump() + ",";
        first = false;
        append_json(out, cell);
        out += ']';
    }
    out += ']';
}

// Format 1 had neither the fit orientation nor its menu entry, and all its fits were mirrored. Such a
// file is brought to this format before it is read, so that it is checked as strictly as a new one:
// the record says "mirrored" and the entry stands checked at its place in the menu.
void upgrade_from_format_1(Json& doc) {
    const std::vector<Control> layout = main_window_layout();
    const auto entry = std::find_if(layout.begin(), layout.end(),
                                    [](const Control& c) { return c.tag == kMirroredFitAxesTag; });
    const auto index = static_cast<std::size_t>(entry - layout.begin());
    if (auto objects = doc.find("objects"); objects != doc.end() && objects->is_array() &&
                                            index <= objects->size()) {
        Control checked = *entry;
        checked.value = {1};
        objects->insert(objects->begin() + static_cast<std::ptrdiff_t>(index), encode(checked));
    }
    auto record = doc.find("record");
    if (record == doc.end() || !record->is_object() || record->contains("fitOrientation"))
        return;
    (*record)["fitOrientation"] = encode(FitOrientation::Mirrored);
    // The record's references list the window first, then every object in creation order.
    if (auto refs = record->find("objects"); refs != record->end() && refs->is_array() && index < refs->size())
        refs->insert(refs->begin() + static_cast<std::ptrdiff_t>(index + 1),
                     Json::array({kMirroredFitAxesTag, kMirroredFitAxesTag}));
}

} // namespace

std::string session_to_text(const Figure& window, const Handles& handles) {
    std::string out = "{";
    append_member(out, kFormat, Json(std::string(kSessionFormatName)), true);
    append_member(out, kVersion, Json(kSessionFormatVersion));
    append_member(out, "program", Json(std::string("TARVIK3D ") + TARVIK_VERSION));
    append_member(out, "window", window.window());
    append_member(out, "objects", window.objects());
    append_member(out, "record", handles);
    out += "}\n";
    return out;
}

std::shared_ptr<Figure> session_from_text(std::string_view text, int* formatVersion) {
    if (text.empty())
        throw SessionFileError("the file is empty.");
    // Copying a value nested a million deep (as the object it sits in grows) would recurse until the stack
    // runs out; no session nests deeper than a dozen levels, so the parse stops long before that.
    const auto shallow = [](int depth, Json::parse_event_t, Json&) {
        if (depth > kMaxDepth)
            throw SessionFileError("the file is damaged: its lists and records are nested more than " +
                                   std::to_string(kMaxDepth) + " deep.");
        return true;
    };
    Json doc;
    try {
        doc = Json::parse(text.begin(), text.end(), shallow);
    } catch (const Json::parse_error& e) {
        if (e.byte > text.size())
            throw SessionFileError("the file is incomplete: it ends before the session does.");
        throw SessionFileError("it is not a TARVIK3D session file (it is not JSON text).");
    } catch (const Json::exception&) {
        throw SessionFileError("it is not a TARVIK3D session file (it is not JSON text).");
    }
    const bool named = doc.is_object() && doc.contains(kFormat) && doc.at(kFormat).is_string() &&
                       doc.at(kFormat).get_ref<const std::string&>() == kSessionFormatName;
    if (!named)
        throw SessionFileError("it is not a TARVIK3D session file.");

    const Where root;
    ObjectReader top(doc, root);
    const Json& version = top[kVersion];
    if (!version.is_number_integer() || version.get<std::int64_t>() < 1)
        fail(root.field(kVersion), "expected the format version, a whole number from 1");
    if (version.get<std::int64_t>() > kSessionFormatVersion)
        throw SessionFileError("it was written by a newer version of TARVIK3D (session format " +
                               std::to_string(version.get<std::int64_t>()) + "; this version reads format " +
                               std::to_string(kSessionFormatVersion) + ").");
    if (formatVersion)
        *formatVersion = static_cast<int>(version.get<std::int64_t>());
    if (version.get<std::int64_t>() == 1)
        upgrade_from_format_1(doc);
    top[kFormat];
    std::string program;
    decode(top["program"], root.field("program"), program);

    WindowProps window;
    decode(top["window"], root.field("window"), window);
    std::vector<Control> objects;
    decode(top["objects"], root.field("objects"), objects);
    Handles handles;
    decode(top["record"], root.field("record"), handles);
    top.finish();

    check_objects(objects, root.field("objects"));
    check_record(handles, objects, root.field("record"));

    auto figure = std::make_shared<Figure>(std::move(window), std::move(objects));
    figure->store(handles);
    return figure;
}

std::string with_session_extension(std::string name) {
    if (name.find(kSessionExtension) == std::string::npos)
        name += kSessionExtension;
    return name;
}

namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

} // namespace

void save_session_file(const std::string& path, const Figure& window, const Handles& handles) {
    const std::string text = session_to_text(window, handles);
    const std::string failed = "Could not save the session to " + quoted(path) + ": ";
    std::error_code ec;
    if (fs::is_directory(path, ec))
        throw SessionFileError(failed + "a folder has that name.");
    try {
        write_file_replacing(path, text);
    } catch (const FileWriteError& e) {
        throw SessionFileError(failed + e.reason() + ".");
    }
}

std::shared_ptr<Figure> load_session_file(const std::string& path, int* formatVersion) {
    const std::string failed = "Could not open the session file " + quoted(path) + ": ";
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        throw SessionFileError(failed + "there is no such file.");
    if (!fs::is_regular_file(status))
        throw SessionFileError(failed + "it is not a file.");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec)
        throw SessionFileError(failed + "the file cannot be read.");
    if (size > kMaxFileBytes)
        throw SessionFileError(failed + "it is far too large to be a session file.");

    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.resize(static_cast<std::size_t>(size));
        in.read(text.data(), static_cast<std::streamsize>(size));
        text.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (!in && !in.eof())
        throw SessionFileError(failed + "the file cannot be read.");

    try {
        return session_from_text(text, formatVersion);
    } catch (const SessionFileError& e) {
        throw SessionFileError(failed + e.what());
    }
}

} // namespace tarvik
