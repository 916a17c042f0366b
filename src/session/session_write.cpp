// Writing a session: the text, and the file.
#include "session/session_json.h"

#include "core/file_write.h"

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
