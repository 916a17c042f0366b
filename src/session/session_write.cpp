// Writing a session: the text, and the file.
#include "session/session_json.h"

#include "core/file_write.h"
#include "overlap/overlap_ops.h"
#include "session/session_derived.h"

#include <cmath>
#include <filesystem>

namespace tarvik {

namespace {

using namespace session_json;
namespace fs = std::filesystem;

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

// ---------------------------------------------------------------------------------------------------
// The record, without what opening derives again (session_derived.h): such a part is written as the text
// "derived", a subject's tokens as {"derived": true, "logs": [...]}.

const char* const kDerived = "\"derived\"";

void append_subject(std::string& out, const SubjectRecord& subject, const TextList* derivedLogs) {
    out += '{';
    bool first = true;
    fields([&](const char* name, const auto& value) {
        if (name == std::string_view("vowelTargets") && derivedLogs) {
            out += first ? "" : ",";
            out += "\"vowelTargets\":{\"derived\":true,\"logs\":";
            append_json(out, *derivedLogs);
            out += '}';
        } else {
            append_member(out, name, value, first);
        }
        first = false;
    }, subject);
    out += '}';
}

void append_group(std::string& out, const VowelGroup& group, const std::set<std::string>& derived) {
    out += '{';
    bool first = true;
    fields([&](const char* name, const auto& value) {
        if (derived.contains(name)) {
            out += first ? "" : ",";
            out += Json(name).dump() + ":" + kDerived;
        } else {
            append_member(out, name, value, first);
        }
        first = false;
    }, group);
    out += '}';
}

// The counts of one estimate when its shares follow from them exactly; nothing when it has none.
std::optional<Json> counts_only(const PairResults& r) {
    if (!r.E1sum || !r.E2sum || !r.Ebothsum || !r.E1ovfrac || !r.E2ovfrac || !r.value)
        return std::nullopt;
    if (!is_count(*r.E1sum) || !is_count(*r.E2sum) || !is_count(*r.Ebothsum))
        return std::nullopt;
    const OverlapShares shares = overlap_shares(static_cast<long long>(*r.E1sum), static_cast<long long>(*r.E2sum),
                                                static_cast<long long>(*r.Ebothsum));
    if (!same_number(shares.E1ovfrac, *r.E1ovfrac) || !same_number(shares.E2ovfrac, *r.E2ovfrac) ||
        !same_number(shares.value, *r.value))
        return std::nullopt;
    return Json::array({encode(*r.E1sum), encode(*r.E2sum), encode(*r.Ebothsum)});
}

// A cell whose shares follow from its counts is written as [[i, j], counts3D, counts2D], each counts
// [E1sum, E2sum, Ebothsum] or null; any other cell in full, as [[i, j], cell].
void append_overlap(std::string& out, const std::map<std::pair<int, int>, OverlapCell>& table, bool full) {
    out += '[';
    bool first = true;
    for (const auto& [pair, cell] : table) {
        out += (first ? "[" : ",[") + Json::array({pair.first, pair.second}).dump() + ",";
        first = false;
        std::optional<Json> counts[2];
        bool compact = !full;
        for (const bool threeD : {true, false}) {
            const PairResults r = pair_results(cell, threeD);
            const bool none = !r.value && !r.E1ovfrac && !r.E2ovfrac && !r.E1sum && !r.E2sum && !r.Ebothsum;
            counts[threeD ? 0 : 1] = none ? Json(nullptr) : counts_only(r);
            compact = compact && counts[threeD ? 0 : 1].has_value();
        }
        if (compact)
            out += counts[0]->dump() + "," + counts[1]->dump();
        else
            append_json(out, cell);
        out += ']';
    }
    out += ']';
}

void append_record(std::string& out, const Handles& h, SessionDetail detail) {
    const bool full = detail == SessionDetail::Full;
    DerivedParts derived = full ? DerivedParts{} : derivable_parts(h);
    derived.groupFields.resize(h.v.size());
    out += '{';
    bool first = true;
    fields([&](const char* name, const auto& value) {
        const std::string_view n = name;
        if (!first)
            out += ',';
        out += Json(name).dump() + ":";
        if (n == "dataNormalizedColumn" && derived.normalizedTable) {
            out += kDerived;
        } else if (n == "dataSubject") {
            out += '[';
            bool firstSubject = true;
            for (const auto& [key, subject] : h.dataSubject.get()) {
                out += firstSubject ? "[" : ",[";
                firstSubject = false;
                append_json(out, key);
                out += ',';
                const auto logs = derived.subjectTokens.find(key);
                append_subject(out, subject, logs == derived.subjectTokens.end() ? nullptr : &logs->second);
                out += ']';
            }
            out += ']';
        } else if (n == "v") {
            out += '[';
            for (std::size_t i = 0; i < h.v.size(); ++i) {
                out += i ? "," : "";
                append_group(out, h.v[i], derived.groupFields[i]);
            }
            out += ']';
        } else if (n == "overlap") {
            append_overlap(out, h.overlap, full);
        } else {
            append_json(out, value);
        }
        first = false;
    }, h);
    out += '}';
}

} // namespace

std::string session_to_text(const Figure& window, const Handles& handles, SessionDetail detail) {
    std::string out = "{";
    append_member(out, kFormat, Json(std::string(kSessionFormatName)), true);
    append_member(out, kVersion, Json(kSessionFormatVersion));
    append_member(out, "program", Json(std::string("TARVIK3D ") + TARVIK_VERSION));
    append_member(out, "window", window.window());
    append_member(out, "objects", window.objects());
    out += ",\"record\":";
    append_record(out, handles, detail);
    out += "}\n";
    return out;
}
std::string with_session_extension(std::string name) {
    if (name.find(kSessionExtension) == std::string::npos)
        name += kSessionExtension;
    return name;
}
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
} // namespace tarvik
