#include "normalize/subject_normalization.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every value of every vowel target mapped through f, keeping the shape.
template <typename F> VowelValues map_values(const VowelValues& x, F f) {
    VowelValues out;
    out.reserve(x.size());
    for (const auto& tokens : x) {
        std::vector<double> row;
        row.reserve(tokens.size());
        for (double value : tokens)
            row.push_back(f(value));
        out.push_back(std::move(row));
    }
    return out;
}

std::vector<bool> nan_flags(const std::vector<double>& values) {
    std::vector<bool> out;
    out.reserve(values.size());
    for (double v : values)
        out.push_back(std::isnan(v));
    return out;
}

} // namespace

double mean_of(const std::vector<double>& values) {
    if (values.empty())
        return kNaN;
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / static_cast<double>(values.size());
}

double sample_std(const std::vector<double>& values) {
    if (values.empty())
        return kNaN;
    const double m = mean_of(values);
    double squares = 0;
    for (double v : values)
        squares += (v - m) * (v - m);
    // One value divides by 1, not 0: its spread is 0 (or NaN when the value is not finite).
    const double divisor = static_cast<double>(std::max<std::size_t>(values.size() - 1, 1));
    return std::sqrt(squares / divisor);
}

std::vector<double> vowel_means(const VowelValues& values) {
    std::vector<double> out;
    out.reserve(values.size());
    for (const auto& tokens : values)
        out.push_back(mean_of(tokens));
    return out;
}

std::vector<double> log10_values(const std::vector<double>& values) {
    std::vector<double> out;
    out.reserve(values.size());
    for (double v : values)
        out.push_back(std::log10(v));
    return out;
}

SpectralZscore spectral_zscore(const VowelValues& x) {
    SpectralZscore r;
    const std::vector<double> m = vowel_means(x);
    r.M = mean_of(m);
    r.S = sample_std(m);
    r.normalized = map_values(x, [&](double v) { return (v - r.M) / r.S; });
    return r;
}

LogShift spectral_logarithmic(const VowelValues& x) {
    LogShift r;
    for (const auto& tokens : x)
        r.logs.push_back(log10_values(tokens));
    r.G = mean_of(vowel_means(r.logs));
    r.normalized = map_values(r.logs, [&](double y) { return y - r.G; });
    return r;
}

LogShift spectral_log_mean_shared(const VowelValues& x, const VowelValues& f1, const VowelValues& f2) {
    LogShift r;
    for (const auto& tokens : x)
        r.logs.push_back(log10_values(tokens));
    const auto g = [](const VowelValues& v) { return spectral_logarithmic(v).G; };
    r.G = (g(f1) + g(f2)) / 2;
    r.normalized = map_values(r.logs, [&](double y) { return y - r.G; });
    return r;
}

Scaled spectral_watt_fabricius(const VowelValues& x, const std::vector<double>& cornerI,
                               const std::vector<double>& cornerA, const std::vector<double>& f1OfI) {
    Scaled r;
    r.S = (mean_of(cornerI) + mean_of(cornerA) + mean_of(f1OfI)) / 3;
    r.normalized = map_values(x, [&](double v) { return v / r.S; });
    return r;
}

double bark(double hertz) {
    const double z = 26.81 * hertz / (1960 + hertz) - 0.53;
    if (z < 2)
        return z + 0.15 * (2 - z);
    if (z > 20.1)
        return z + 0.22 * (z - 20.1);
    return z;
}

VowelValues spectral_bark(const VowelValues& x) { return map_values(x, bark); }

LogShift spectral_known_extremes(const VowelValues& x, const std::vector<double>& extremeA,
                                 const std::vector<double>& extremeB) {
    LogShift r;
    r.G = (mean_of(log10_values(extremeA)) + mean_of(log10_values(extremeB))) / 2;
    for (const auto& tokens : x)
        r.logs.push_back(log10_values(tokens));
    r.normalized = map_values(r.logs, [&](double y) { return y - r.G; });
    return r;
}

std::vector<std::string> common_targets(const std::vector<std::vector<std::string>>& subjectTargets) {
    if (subjectTargets.empty())
        return {};
    if (subjectTargets.size() == 1)
        return subjectTargets.front();
    std::vector<std::string> common = subjectTargets.front();
    std::sort(common.begin(), common.end()); // std::string orders by unsigned character code
    common.erase(std::unique(common.begin(), common.end()), common.end());
    for (std::size_t s = 1; s < subjectTargets.size(); ++s) {
        std::vector<std::string> other = subjectTargets[s];
        std::sort(other.begin(), other.end());
        std::vector<std::string> both;
        std::set_intersection(common.begin(), common.end(), other.begin(), other.end(),
                              std::back_inserter(both));
        common = std::move(both);
    }
    return common;
}

DurationZscore duration_zscore(const VowelValues& d) {
    DurationZscore r;
    std::vector<double> pooled;
    for (const auto& tokens : d)
        pooled.insert(pooled.end(), tokens.begin(), tokens.end());
    r.means = vowel_means(d);
    r.invalid = nan_flags(r.means);
    r.D = mean_of(r.means);
    r.S = sample_std(pooled);
    r.normalized = map_values(d, [&](double v) { return (v - r.D) / r.S; });
    return r;
}

PhraseDuration duration_phrase_duration(const VowelValues& d, const VowelValues& p) {
    bool sameShape = d.size() == p.size();
    for (std::size_t v = 0; sameShape && v < d.size(); ++v)
        sameShape = d[v].size() == p[v].size();
    if (!sameShape)
        throw std::invalid_argument("Matrix dimensions must agree.");

    PhraseDuration r;
    r.durationMeans = vowel_means(d);
    r.phraseMeans = vowel_means(p);
    r.invalidDuration = nan_flags(r.durationMeans);
    r.invalidPhrase = nan_flags(r.phraseMeans);
    r.D = mean_of(r.durationMeans);
    r.P = mean_of(r.phraseMeans);
    for (std::size_t v = 0; v < d.size(); ++v) {
        std::vector<double> row;
        row.reserve(d[v].size());
        for (std::size_t i = 0; i < d[v].size(); ++i)
            row.push_back((d[v][i] / p[v][i]) * (r.D / r.P));
        r.normalized.push_back(std::move(row));
    }
    return r;
}

} // namespace tarvik
