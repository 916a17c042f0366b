// Reading a session: the text checked in full, files of an earlier format brought to this one, the file.
#include "session/session_json.h"

#include "core/grid_bounds.h"
#include "session/session_derived.h"
#include "ui/layout.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

namespace tarvik {

namespace {

using namespace session_json;
namespace fs = std::filesystem;

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

// Format 2 kept the data table three times: as lines, as rows and as columns. The columns hold it all,
// so the other two go.
void upgrade_from_format_2(Json& doc) {
    if (auto record = doc.find("record"); record != doc.end() && record->is_object()) {
        record->erase("dataLine");
        record->erase("dataRow");
    }
}

// Format 3 kept the grid points of the overlap estimate: each group's inside lists and each pair's
// points inside both. They go; the plots count them again on the grid a group records, which such a
// file does not have yet.
void upgrade_from_format_3(Json& doc) {
    auto record = doc.find("record");
    if (record == doc.end() || !record->is_object())
        return;
    if (auto groups = record->find("v"); groups != record->end() && groups->is_array())
        for (Json& g : *groups)
            if (g.is_object()) {
                for (const char* list : {"Ecoordx2D", "Ecoordy2D", "Ecoordx", "Ecoordy", "Ecoordz"})
                    g.erase(list);
                g["Egrid2D"] = nullptr;
                g["Egrid"] = nullptr;
            }
    if (auto table = record->find("overlap"); table != record->end() && table->is_array())
        for (Json& entry : *table)
            if (entry.is_array() && entry.size() == 2 && entry[1].is_object())
                for (const char* list : {"Bothcoordx", "Bothcoordy", "Bothcoordz", "Bothcoordx2D", "Bothcoordy2D"})
                    entry[1].erase(list);
}

// Since format 5 a file leaves out what opening derives again (session_derived.h), writing "derived" in
// its place. The marks are taken out before the record is decoded, leaving empty values of the right
// kind, and the parts are derived once the whole record has been read.
DerivedParts take_derived_marks(Json& doc, const Where& root) {
    DerivedParts parts;
    auto record = doc.find("record");
    if (record == doc.end() || !record->is_object())
        return parts;
    const Where rw = root.field("record");
    const Json mark = "derived";
    if (auto table = record->find("dataNormalizedColumn"); table != record->end() && *table == mark) {
        parts.normalizedTable = true;
        *table = Json::array();
    }
    if (auto subjects = record->find("dataSubject"); subjects != record->end() && subjects->is_array())
        for (std::size_t i = 0; i < subjects->size(); ++i) {
            Json& entry = (*subjects)[i];
            if (!entry.is_array() || entry.size() != 2 || !entry[0].is_string() || !entry[1].is_object())
                continue;
            auto targets = entry[1].find("vowelTargets");
            if (targets == entry[1].end() || !targets->is_object())
                continue;
            const Where list = rw.field("dataSubject");
            const Where subject = list.key(entry[0].get_ref<const std::string&>());
            const Where at = subject.field("vowelTargets");
            ObjectReader marked(*targets, at);
            if (marked["derived"] != true)
                fail(at.field("derived"), "expected true");
            TextList logs;
            decode(marked["logs"], at.field("logs"), logs);
            marked.finish();
            parts.subjectTokens[entry[0].get<std::string>()] = std::move(logs);
            *targets = Json::array();
        }
    if (auto groups = record->find("v"); groups != record->end() && groups->is_array())
        for (Json& group : *groups) {
            std::set<std::string>& fields = parts.groupFields.emplace_back();
            if (!group.is_object())
                continue;
            for (const std::string& name : kDerivedGroupFields)
                if (auto value = group.find(name); value != group.end() && *value == mark) {
                    fields.insert(name);
                    *value = name == "data" || name == "dataOriginal"
                                 ? Json{{"rows", 0}, {"cols", 0}, {"values", Json::array()}}
                                 : Json(nullptr);
                }
        }
    return parts;
}

// Controls that later formats added to the layout go in after the object that stands before them, among
// the objects and the record's references; found by tag, so that it does not matter what other upgrades
// inserted before. `enable` gives each its state from the record (null when the file has none).
void insert_layout_controls(Json& doc, const std::vector<std::string>& tags, const std::string& follows,
                            const std::function<Enable(const Json* record)>& enable) {
    const std::vector<Control> layout = main_window_layout();
    auto record = doc.find("record");
    const Json* stored = record != doc.end() && record->is_object() ? &*record : nullptr;
    // After the entry of `list` whose tag `tag_of` gives is the predecessor's; nothing when there is none.
    const auto insert_after = [](Json& list, const std::string& after, const auto& tag_of, Json item) {
        if (!list.is_array())
            return;
        const auto at = std::find_if(list.begin(), list.end(), [&](const Json& e) {
            const Json* tag = tag_of(e);
            return tag && tag->is_string() && tag->template get_ref<const std::string&>() == after;
        });
        if (at != list.end())
            list.insert(at + 1, std::move(item));
    };
    std::string after = follows;
    for (const std::string& tag : tags) {
        Control control =
            *std::find_if(layout.begin(), layout.end(), [&](const Control& c) { return c.tag == tag; });
        if (control.style != Style::Text) // labels keep the layout's state
            control.enable = enable(stored);
        if (auto objects = doc.find("objects"); objects != doc.end())
            insert_after(
                *objects, after,
                [](const Json& o) { return o.is_object() && o.contains("tag") ? &o.at("tag") : nullptr; },
                encode(control));
        // The record's references: [tag, reference] pairs.
        if (stored)
            if (auto refs = record->find("objects"); refs != record->end())
                insert_after(
                    *refs, after, [](const Json& r) { return r.is_array() && r.size() == 2 ? &r[0] : nullptr; },
                    Json::array({tag, tag}));
        after = tag;
    }
}

// Format 5 and earlier had no "Show results table" in step 4. It is enabled when the overlap table has a
// cell, as the overlap step leaves it.
void upgrade_to_results_button(Json& doc) {
    insert_layout_controls(doc, {kShowResultsTag}, kShowResultsFollows, [](const Json* record) {
        const Json* table = record && record->contains("overlap") ? &record->at("overlap") : nullptr;
        return table && table->is_array() && !table->empty() ? Enable::On : Enable::Off;
    });
}

// Format 6 and earlier had no options within subjects and for bootstrap intervals in step 4. They are
// step 4's objects: enabled in step 4, and in the record's list of them. The controls of the overlap's
// panel moved to make room for them, and go to their new places.
void upgrade_to_spread_options(Json& doc) {
    static const char* const moved[] = {"text64",           "popupmenu_overlap_group_a", "text65",
                                        "popupmenu_overlap_group_b", "checkbox_all_group_overlap",
                                        "button_calculate_3Doverlap", "button_calculate_2Doverlap",
                                        "text107",          "text112",          "text_3D_overlap",
                                        "text_2D_overlap"};
    if (auto objects = doc.find("objects"); objects != doc.end() && objects->is_array()) {
        const std::vector<Control> layout = main_window_layout();
        for (Json& object : *objects) {
            const auto tag = object.is_object() ? object.find("tag") : object.end();
            if (tag == object.end() || !tag->is_string() ||
                std::find(std::begin(moved), std::end(moved), tag->get_ref<const std::string&>()) == std::end(moved))
                continue;
            const auto c = std::find_if(layout.begin(), layout.end(), [&](const Control& l) { return l.tag == *tag; });
            object["position"] = encode(c->position);
        }
    }
    const auto inStep4 = [](const Json* record) {
        const Json* step = record && record->contains("currStep") ? &record->at("currStep") : nullptr;
        return step && step->is_number() && step->get<double>() == 4 ? Enable::On : Enable::Off;
    };
    insert_layout_controls(doc, {std::begin(kSpreadControls), std::end(kSpreadControls)}, kShowResultsTag, inStep4);
    auto record = doc.find("record");
    if (record == doc.end() || !record->is_object())
        return;
    auto steps = record->find("stepObjects");
    if (steps == record->end() || !steps->is_array() || steps->size() < 4 || !(*steps)[3].is_array())
        return;
    for (const char* tag : kSpreadStepObjects)
        (*steps)[3].push_back(tag);
}

// How deep lists and objects nest inside a JSON text's outermost value (0 when nothing is nested in it),
// brackets inside strings aside. Text that is not
// JSON at all gets some number here and is refused by the parser.
int nesting_depth(std::string_view text) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, depth++);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

} // namespace

std::shared_ptr<Figure> session_from_text(std::string_view text, int* formatVersion) {
    if (text.empty())
        throw SessionFileError("the file is empty.");
    // Copying a value nested a million deep (as the object it sits in grows) would recurse until the stack
    // runs out; no session nests deeper than a dozen levels, so such a file is refused before it is parsed.
    // (The parser's own depth callback would do the same, but it walks each object's parent on closing it,
    // which makes a large session quadratic to read.)
    if (nesting_depth(text) > kMaxDepth)
        throw SessionFileError("the file is damaged: its lists and records are nested more than " +
                               std::to_string(kMaxDepth) + " deep.");
    Json doc;
    try {
        doc = Json::parse(text.begin(), text.end());
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
    if (version.get<std::int64_t>() <= 2)
        upgrade_from_format_2(doc);
    if (version.get<std::int64_t>() <= 3)
        upgrade_from_format_3(doc);
    if (version.get<std::int64_t>() <= 5)
        upgrade_to_results_button(doc);
    if (version.get<std::int64_t>() <= 6)
        upgrade_to_spread_options(doc);
    const DerivedParts derived =
        version.get<std::int64_t>() >= 5 ? take_derived_marks(doc, root) : DerivedParts{};
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
    try {
        derive_parts(handles, derived);
    } catch (const std::exception& e) {
        fail(root.field("record"), e.what());
    }

    check_objects(objects, root.field("objects"));
    check_record(handles, objects, root.field("record"));

    auto figure = std::make_shared<Figure>(std::move(window), std::move(objects));
    figure->store(handles);
    return figure;
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
