#include "overlap/per_subject.h"

#include "geometry/fits.h"
#include "grouping/constraints.h"
#include "overlap/overlap_ops.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace tarvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kNamedSubjects = 10;

std::string few_tokens_warning(const std::string& pair, const char* dimension, const TextList& subjects) {
    std::string names;
    for (std::size_t i = 0; i < subjects.size() && i < kNamedSubjects; ++i)
        names += (i ? ", " : "") + subjects[i];
    if (subjects.size() > kNamedSubjects)
        names += " and " + std::to_string(subjects.size() - kNamedSubjects) + " more";
    return "Pair " + pair + " (" + dimension + "): " + std::to_string(subjects.size()) +
           (subjects.size() == 1 ? " subject has" : " subjects have") +
           " too few tokens in a group for a fit, and NaN: " + names + ".";
}

} // namespace

std::vector<char> groups_of_pairs(const std::vector<std::pair<int, int>>& pairs, std::size_t groups) {
    std::vector<char> used(groups, 0);
    for (const auto& [a, b] : pairs) {
        if (a < 1 || b < 1 || static_cast<std::size_t>(std::max(a, b)) > groups || a >= b)
            throw std::invalid_argument("The pair " + std::to_string(a) + ", " + std::to_string(b) +
                                        " does not name two groups.");
        used[static_cast<std::size_t>(a - 1)] = used[static_cast<std::size_t>(b - 1)] = 1;
    }
    return used;
}

GroupRows group_rows(const Handles& h, const std::vector<char>& used, std::size_t rowCount, bool bySubject) {
    GroupRows out;
    const std::size_t groups = h.v.size();
    out.rows.resize(groups);
    RowSelector selector(h.dataColumn, rowCount);
    for (std::size_t g = 0; g < groups; ++g)
        if (used[g])
            out.rows[g] = selector.rows(h.v[g]->constraints);
    if (!bySubject)
        return out;
    if (!h.HeaderName.Subject)
        throw std::out_of_range("No data column has been chosen for Subject.");
    const TextList& cells = h.dataColumn.at(*h.HeaderName.Subject);
    std::unordered_map<std::string, std::size_t> index;
    for (const auto& [name, record] : h.dataSubject.get()) {
        index.emplace(name, out.subjects.size());
        out.subjects.push_back(name);
    }
    out.bySubject.resize(groups);
    for (std::size_t g = 0; g < groups; ++g) {
        if (!used[g])
            continue;
        out.bySubject[g].resize(out.subjects.size());
        for (const std::size_t r : out.rows[g])
            if (const auto s = index.find(cells.at(r)); s != index.end())
                out.bySubject[g][s->second].push_back(r);
    }
    return out;
}

FittedTokens fit_tokens(Matrix data, const Handles& h, bool twoD, bool threeD) {
    FittedTokens g{std::move(data), std::nullopt, std::nullopt};
    if (twoD && g.data.rows >= 3) {
        const StarFit2D f = fit_star_2d(g.data, h.stdmult, h.fitOrientation);
        g.ellipse = Ellipse2D{{f.avg[0], f.avg[1]}, f.theta, f.A, f.B,
                              ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg)};
    }
    if (threeD && g.data.rows >= 4) {
        const DubstarFit3D f = fit_dubstar_3d(g.data, h.stdmult, h.fitOrientation);
        g.ellipsoid = Ellipsoid3D{{f.avg[0], f.avg[1], f.avg[2]}, f.theta, f.phi, f.A, f.B, f.C,
                                  ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg)};
    }
    return g;
}

std::optional<OverlapShares> fitted_overlap(const FittedTokens& a, const FittedTokens& b, bool threeD,
                                            GridResolution resolution) {
    try {
        if (threeD)
            return a.ellipsoid && b.ellipsoid
                       ? std::optional(grid_counts_3d(*a.ellipsoid, *b.ellipsoid, resolution).shares)
                       : std::nullopt;
        return a.ellipse && b.ellipse ? std::optional(grid_counts_2d(*a.ellipse, *b.ellipse, resolution).shares)
                                      : std::nullopt;
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

struct PerSubjectRun::State {
    const Handles& h;
    PerSubjectRequest request;
    PerSubjectResult out;
    TokenColumns columns;
    GridResolution grid2D, grid3D;
    std::vector<char> used;                                 // by group
    std::vector<std::vector<std::vector<std::size_t>>> rows; // by group, then subject
    // Whether a subject's group of a pair had too few tokens for a fit, by pair and subject as the rows:
    // 2D, 3D. A byte each, so that threads running different subjects write different bytes.
    std::vector<char> fewTokens[2];
};

PerSubjectRun::PerSubjectRun(const Handles& h, const PerSubjectRequest& request)
    : state_(std::make_unique<State>(State{h, request, {}, token_columns(h), {}, {}, {}, {}, {}})) {
    State& st = *state_;
    st.out.twoD = request.twoD, st.out.threeD = request.threeD;
    if (request.threeD && st.columns.normalized.size() < 3)
        throw std::invalid_argument("The data has no durations for a 3D overlap.");
    st.grid2D = grid_resolution(h.overlapResolution, false);
    if (request.threeD)
        st.grid3D = grid_resolution(h.overlapResolution, true);

    // Each group's rows, subject by subject: only the groups the pairs name.
    st.used = groups_of_pairs(request.pairs, h.v.size());
    GroupRows rows = group_rows(h, st.used, st.columns.rowCount, true);
    st.out.subjects = std::move(rows.subjects);
    st.rows = std::move(rows.bySubject);
    const std::size_t subjects = st.out.subjects.size();
    st.out.rows.resize(request.pairs.size() * subjects);
    for (auto& flags : st.fewTokens)
        flags.assign(st.out.rows.size(), 0);
}

PerSubjectRun::~PerSubjectRun() = default;

const TextList& PerSubjectRun::subjects() const {
    return state_->out.subjects;
}

void PerSubjectRun::run_subject(std::size_t s) {
    State& st = *state_;
    const Handles& h = st.h;
    const std::size_t subjects = st.out.subjects.size();
    std::vector<FittedTokens> fitted(h.v.size());
    for (std::size_t g = 0; g < h.v.size(); ++g)
        if (st.used[g])
            fitted[g] = fit_tokens(gather_cells(st.rows[g][s], st.columns.normalized), h, st.request.twoD,
                                          st.request.threeD);
    for (std::size_t p = 0; p < st.request.pairs.size(); ++p) {
        const auto [first, second] = st.request.pairs[p];
        const FittedTokens& a = fitted[static_cast<std::size_t>(first - 1)];
        const FittedTokens& b = fitted[static_cast<std::size_t>(second - 1)];
        SubjectPairResult& r = st.out.rows[p * subjects + s];
        r.subject = s, r.first = first, r.second = second;
        const std::string& nameA = h.v[static_cast<std::size_t>(first - 1)]->name;
        const std::string& nameB = h.v[static_cast<std::size_t>(second - 1)]->name;
        if (st.request.twoD) {
            r.shares2D = fitted_overlap(a, b, false, st.grid2D);
            st.fewTokens[0][p * subjects + s] = !a.ellipse || !b.ellipse;
            if (st.request.measures)
                r.measures2D = pair_measures(a.data, b.data, 2, nameA, nameB).measures;
        }
        if (st.request.threeD) {
            r.shares3D = fitted_overlap(a, b, true, st.grid3D);
            st.fewTokens[1][p * subjects + s] = !a.ellipsoid || !b.ellipsoid;
            if (st.request.measures)
                r.measures3D = pair_measures(a.data, b.data, 3, nameA, nameB).measures;
        }
    }
}

PerSubjectResult PerSubjectRun::finish() {
    State& st = *state_;
    const auto name = [&](int g) { return st.h.v[static_cast<std::size_t>(g - 1)]->name; };
    const std::size_t subjects = st.out.subjects.size();
    for (std::size_t p = 0; p < st.request.pairs.size(); ++p)
        for (const int d : {0, 1}) {
            // Subjects in their own order, whatever order they were run in.
            TextList few;
            for (std::size_t s = 0; s < subjects; ++s)
                if (st.fewTokens[d][p * subjects + s])
                    few.push_back(st.out.subjects[s]);
            if (!few.empty())
                st.out.warnings.push_back(few_tokens_warning(
                    name(st.request.pairs[p].first) + "-" + name(st.request.pairs[p].second), d == 0 ? "2D" : "3D",
                    few));
        }
    return std::move(st.out);
}

std::optional<PerSubjectResult> per_subject_overlaps(const Handles& h, const PerSubjectRequest& request,
                                                     const PerSubjectProgress& progress) {
    PerSubjectRun run(h, request);
    const std::size_t subjects = run.subjects().size();
    for (std::size_t s = 0; s < subjects; ++s) {
        run.run_subject(s);
        if (progress && !progress(s + 1, subjects))
            return std::nullopt;
    }
    return run.finish();
}

ColumnSummary summarize(const std::vector<double>& values) {
    std::vector<double> defined;
    for (const double v : values)
        if (!std::isnan(v))
            defined.push_back(v);
    ColumnSummary out{kNaN, kNaN, kNaN, defined.size()};
    const std::size_t n = defined.size();
    if (n == 0)
        return out;
    double sum = 0;
    for (const double v : defined)
        sum += v;
    out.mean = sum / static_cast<double>(n);
    if (n > 1) {
        double squares = 0;
        for (const double v : defined)
            squares += (v - out.mean) * (v - out.mean);
        out.sd = std::sqrt(squares / static_cast<double>(n - 1));
    }
    std::sort(defined.begin(), defined.end());
    out.median = n % 2 ? defined[n / 2] : (defined[n / 2 - 1] + defined[n / 2]) / 2;
    return out;
}

} // namespace tarvik
