#include "session/session_derived.h"

#include "geometry/fits.h"
#include "grouping/constraints.h"
#include "grouping/subjects.h"
#include "normalize/normalized_table.h"
#include "normalize/subject_normalization.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace tarvik {

bool same_number(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

namespace {

// ---------------------------------------------------------------------------------------------------
// Bit for bit, as the file would hold them (same_number).

bool same(double a, double b) {
    return same_number(a, b);
}
bool same(const Matrix& a, const Matrix& b);
bool same(const Cell& a, const Cell& b);
bool same(const VowelTarget& a, const VowelTarget& b);
template <typename T> bool same(const std::vector<T>& a, const std::vector<T>& b);
template <typename T> bool same(const std::optional<T>& a, const std::optional<T>& b);
template <typename T> bool same(const OrderedMap<T>& a, const OrderedMap<T>& b);

template <typename T> bool same(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i]))
            return false;
    return true;
}
template <typename T> bool same(const std::optional<T>& a, const std::optional<T>& b) {
    return a.has_value() == b.has_value() && (!a || same(*a, *b));
}
template <typename T> bool same(const OrderedMap<T>& a, const OrderedMap<T>& b) {
    if (a.size() != b.size())
        return false;
    auto x = a.begin();
    for (auto y = b.begin(); y != b.end(); ++x, ++y)
        if (x->first != y->first || !same(x->second, y->second))
            return false;
    return true;
}
bool same(const Matrix& a, const Matrix& b) {
    return a.rows == b.rows && a.cols == b.cols && same(a.values, b.values);
}
bool same(const Cell& a, const Cell& b) {
    if (a.index() != b.index())
        return false;
    if (const auto* x = std::get_if<double>(&a))
        return same(*x, std::get<double>(b));
    if (const auto* x = std::get_if<std::string>(&a))
        return *x == std::get<std::string>(b);
    return true;
}
bool same(const VowelTarget& a, const VowelTarget& b) {
    return same(a.F1, b.F1) && same(a.F2, b.F2) && same(a.Duration, b.Duration) &&
           same(a.PhraseDuration, b.PhraseDuration) && same(a.RowLocation, b.RowLocation) && same(a.log, b.log);
}

// ---------------------------------------------------------------------------------------------------
// Subjects: their tokens come from the data table; the logarithmic methods keep the base-10 logarithms of
// some categories beside them.

OrderedMap<VowelTarget> tokens_with_logs(OrderedMap<VowelTarget> targets, const TextList& logs) {
    for (auto& [vowel, target] : targets)
        for (const std::string& category : logs)
            target.log[category] = log10_values(token_values(target, category));
    return targets;
}

OrderedMap<SubjectRecord> subjects_from_table(const Handles& h) {
    return build_subject_records(h.dataColumn, subject_columns(h.HeaderName, h.onlyAllow2D == 1));
}

// ---------------------------------------------------------------------------------------------------
// Groups: each derived field from the fields it depends on, as the group has them.

[[noreturn]] void no_fit(const char* what) {
    throw std::runtime_error(std::string("it has no ") + what + " to derive its shape from");
}
template <typename T> const T& needed(const std::optional<T>& field, const char* what) {
    if (!field)
        no_fit(what);
    return *field;
}

StarFit2D fit_2d(const Handles& h, const VowelGroup& g) {
    needed(g.avg2D, "2D fit");
    return fit_star_2d(g.data, h.stdmult, h.fitOrientation);
}
DubstarFit3D fit_3d(const Handles& h, const VowelGroup& g) {
    needed(g.avg, "3D fit");
    return fit_dubstar_3d(g.data, h.stdmult, h.fitOrientation);
}

using Derive = void (*)(const Handles&, const VowelGroup& from, VowelGroup& to);

struct GroupField {
    const char* name;
    Derive derive;
    bool (*same)(const VowelGroup&, const VowelGroup&);
    void (*take)(VowelGroup& from, VowelGroup& to);
};

template <auto Member> bool same_member(const VowelGroup& a, const VowelGroup& b) {
    return same(a.*Member, b.*Member);
}
template <auto Member> void take_member(VowelGroup& from, VowelGroup& to) {
    to.*Member = std::move(from.*Member);
}
template <auto Member> constexpr GroupField field(const char* name, Derive derive) {
    return {name, derive, same_member<Member>, take_member<Member>};
}

const GroupField kGroupFields[] = {
    field<&VowelGroup::data>("data",
                             [](const Handles& h, const VowelGroup& g, VowelGroup& to) {
                                 to.data = group_tokens(g.constraints, h.dataColumn, token_columns(h)).data;
                             }),
    field<&VowelGroup::dataOriginal>(
        "dataOriginal",
        [](const Handles& h, const VowelGroup& g, VowelGroup& to) {
            to.dataOriginal = group_tokens(g.constraints, h.dataColumn, token_columns(h)).dataOriginal;
        }),
    field<&VowelGroup::star>("star", [](const Handles& h, const VowelGroup& g,
                                        VowelGroup& to) { to.star = fit_2d(h, g).star; }),
    field<&VowelGroup::xstar>("xstar", [](const Handles& h, const VowelGroup& g,
                                          VowelGroup& to) { to.xstar = fit_2d(h, g).xstar; }),
    field<&VowelGroup::ystar>("ystar", [](const Handles& h, const VowelGroup& g,
                                          VowelGroup& to) { to.ystar = fit_2d(h, g).ystar; }),
    field<&VowelGroup::rottheta2D>("rottheta2D", [](const Handles& h, const VowelGroup& g,
                                                    VowelGroup& to) { to.rottheta2D = fit_2d(h, g).rottheta; }),
    field<&VowelGroup::ellps2D>("ellps2D",
                                [](const Handles&, const VowelGroup& g, VowelGroup& to) {
                                    to.ellps2D = ellipse_in_data(needed(g.theta2D, "2D fit"),
                                                                 needed(g.xstar, "2D outline"),
                                                                 needed(g.ystar, "2D outline"),
                                                                 needed(g.avg2D, "2D fit"));
                                }),
    field<&VowelGroup::dubstar>("dubstar", [](const Handles& h, const VowelGroup& g,
                                              VowelGroup& to) { to.dubstar = fit_3d(h, g).dubstar; }),
    field<&VowelGroup::xdubstar>("xdubstar", [](const Handles& h, const VowelGroup& g,
                                                VowelGroup& to) { to.xdubstar = fit_3d(h, g).xdubstar; }),
    field<&VowelGroup::ydubstar>("ydubstar", [](const Handles& h, const VowelGroup& g,
                                                VowelGroup& to) { to.ydubstar = fit_3d(h, g).ydubstar; }),
    field<&VowelGroup::zdubstar>("zdubstar", [](const Handles& h, const VowelGroup& g,
                                                VowelGroup& to) { to.zdubstar = fit_3d(h, g).zdubstar; }),
    field<&VowelGroup::rottheta>("rottheta", [](const Handles& h, const VowelGroup& g,
                                                VowelGroup& to) { to.rottheta = fit_3d(h, g).rottheta; }),
    field<&VowelGroup::rotphi>("rotphi", [](const Handles& h, const VowelGroup& g,
                                            VowelGroup& to) { to.rotphi = fit_3d(h, g).rotphi; }),
    field<&VowelGroup::ellps3D>(
        "ellps3D",
        [](const Handles&, const VowelGroup& g, VowelGroup& to) {
            to.ellps3D = ellipsoid_in_data(needed(g.theta, "3D fit"), needed(g.phi, "3D fit"),
                                           needed(g.xdubstar, "3D outline"), needed(g.ydubstar, "3D outline"),
                                           needed(g.zdubstar, "3D outline"), needed(g.avg, "3D fit"));
        }),
};

// Only fields the record has are left out; one a fit has not written yet is written as absent anyway.
bool has_field(const VowelGroup& g, const std::string& name) {
    static const VowelGroup empty;
    for (const GroupField& f : kGroupFields)
        if (name == f.name)
            return !f.same(g, empty) || name == "data" || name == "dataOriginal";
    return false;
}

} // namespace

const std::vector<std::string> kDerivedGroupFields = [] {
    std::vector<std::string> names;
    for (const GroupField& f : kGroupFields)
        names.emplace_back(f.name);
    return names;
}();

DerivedParts derivable_parts(const Handles& h) {
    DerivedParts parts;
    // A part that cannot be derived at all (roles not mapped, a column missing) is simply kept.
    try {
        const OrderedMap<SubjectRecord> derived = subjects_from_table(h);
        for (const auto& [name, subject] : h.dataSubject.get()) {
            const SubjectRecord* tokens = derived.find(name);
            if (!tokens)
                continue;
            const TextList logs = subject.vowelTargets.empty() ? TextList{}
                                                               : subject.vowelTargets.begin()->second.log.keys();
            if (same(tokens_with_logs(tokens->vowelTargets, logs), subject.vowelTargets))
                parts.subjectTokens[name] = logs;
        }
    } catch (const std::exception&) {
    }
    try {
        parts.normalizedTable =
            !h.dataNormalizedColumn.get().empty() &&
            same(normalized_table(h.dataColumn, h.dataSubject, h.HeaderName, h.onlyAllow2D == 1),
                 h.dataNormalizedColumn.get());
    } catch (const std::exception&) {
    }
    for (const VowelGroup& g : h.v) {
        std::set<std::string>& fields = parts.groupFields.emplace_back();
        for (const GroupField& f : kGroupFields) {
            if (!has_field(g, f.name))
                continue;
            try {
                VowelGroup derived;
                f.derive(h, g, derived);
                if (f.same(derived, g))
                    fields.insert(f.name);
            } catch (const std::exception&) {
            }
        }
    }
    return parts;
}

void derive_parts(Handles& h, const DerivedParts& parts) {
    if (!parts.subjectTokens.empty()) {
        const OrderedMap<SubjectRecord> derived = [&] {
            try {
                return subjects_from_table(h);
            } catch (const std::exception& e) {
                throw std::runtime_error(std::string("the subjects' tokens cannot be read from the data: ") +
                                         e.what());
            }
        }();
        for (const auto& [name, logs] : parts.subjectTokens) {
            const SubjectRecord* tokens = derived.find(name);
            SubjectRecord* subject = h.dataSubject.get().find(name) ? &h.dataSubject[name] : nullptr;
            if (!tokens || !subject)
                throw std::runtime_error("the subject \"" + name + "\" has no tokens in the data");
            subject->vowelTargets = tokens_with_logs(tokens->vowelTargets, logs);
        }
    }
    if (parts.normalizedTable)
        h.dataNormalizedColumn =
            normalized_table(h.dataColumn, h.dataSubject, h.HeaderName, h.onlyAllow2D == 1);
    for (std::size_t i = 0; i < parts.groupFields.size() && i < h.v.size(); ++i) {
        VowelGroup& g = h.v[i].edit();
        for (const GroupField& f : kGroupFields) {
            if (!parts.groupFields[i].contains(f.name))
                continue;
            try {
                VowelGroup derived;
                f.derive(h, g, derived);
                f.take(derived, g);
            } catch (const std::exception& e) {
                throw std::runtime_error("the " + std::string(f.name) + " of group " + std::to_string(i + 1) +
                                         " cannot be derived: " + e.what());
            }
        }
    }
}

} // namespace tarvik
