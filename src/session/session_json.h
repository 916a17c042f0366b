#pragma once

// The pieces of the session file's JSON shared by reading and writing: where a value sits (for the
// error message), the field lists of every record type, and one encoder and one decoder per type.
// docs/session-format.md describes the format they implement.
#include "session/session_file.h"

#include <nlohmann/json.hpp>

#include <array>
#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarvik::session_json {

// Members keep the order they were written in, so that a file reads in the record's own field order.
using Json = nlohmann::ordered_json;

// No session this program writes comes near this; a larger file is refused before it is read.
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{4} << 30;

// The deepest nesting of lists and records a session may have.
inline constexpr int kMaxDepth = 100;
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
[[noreturn]] void fail(const Where& w, const std::string& what);

// A grid-point count as a file holds it: a whole number from 0 that a long long holds exactly.
inline bool is_count(double x) {
    return x >= 0 && x <= 1e15 && x == static_cast<double>(static_cast<long long>(x));
}

// A file's path as messages about it show it.
inline std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Texts. JSON texts are UTF-8; a text that is not (a stray byte of another encoding in a file name or a
// data line) is written as its bytes in hexadecimal, so that it still comes back byte for byte.
bool is_utf8(const std::string& s);

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
    f("Egrid2D", x.Egrid2D);
    f("Egrid", x.Egrid);
}

template <typename F, Is<InsideGrid> S> void fields(F&& f, S& x) {
    f("min", x.min);
    f("step", x.step);
    f("steps", x.steps);
}

template <typename F, Is<OverlapCell> S> void fields(F&& f, S& x) {
    f("value", x.value);
    f("E1ovfrac", x.E1ovfrac);
    f("E2ovfrac", x.E2ovfrac);
    f("E1sum", x.E1sum);
    f("E2sum", x.E2sum);
    f("Ebothsum", x.Ebothsum);
    f("value2D", x.value2D);
    f("E1ovfrac2D", x.E1ovfrac2D);
    f("E2ovfrac2D", x.E2ovfrac2D);
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
inline const std::string kFormat = "format";
inline const std::string kVersion = "version";

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
} // namespace tarvik::session_json
