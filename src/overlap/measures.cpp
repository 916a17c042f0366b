#include "overlap/measures.h"

#include "core/format.h"

#include <Eigen/Dense>
#include <boost/math/distributions/fisher_f.hpp>

#include <cmath>
#include <limits>

namespace tarvik {

namespace {

const char* const kTooFew = "Group %s has %s: the measures need at least %s.";
const char* const kSingular = "The tokens of group %s lie in fewer than %s dimensions: its covariance is singular.";
const char* const kPooledSingular =
    "The tokens of groups %s and %s together lie in fewer than %s dimensions: their pooled covariance is singular.";

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A covariance whose smallest eigenvalue, relative to its largest after scaling each dimension to unit
// variance, is below this is treated as singular: the data lie on a line or plane up to rounding.
constexpr double kSingularRatio = 1e-12;

using Mat = Eigen::MatrixXd;
using Vec = Eigen::VectorXd;

Mat tokens_of(const Matrix& m, std::size_t dims) {
    Mat out(static_cast<Eigen::Index>(m.rows), static_cast<Eigen::Index>(dims));
    for (std::size_t r = 0; r < m.rows; ++r)
        for (std::size_t c = 0; c < dims; ++c)
            out(static_cast<Eigen::Index>(r), static_cast<Eigen::Index>(c)) = m(r, c);
    return out;
}

// Sums of squares and products about the mean (n - 1 times the sample covariance).
Mat scatter(const Mat& x, const Vec& mean) {
    const Mat centred = x.rowwise() - mean.transpose();
    return centred.transpose() * centred;
}

bool singular(const Mat& s) {
    const Vec d = s.diagonal();
    if ((d.array() <= 0).any() || !d.allFinite())
        return true;
    const Vec scale = d.array().sqrt().inverse();
    const Mat r = scale.asDiagonal() * s * scale.asDiagonal();
    const Vec ev = Eigen::SelfAdjointEigenSolver<Mat>(r, Eigen::EigenvaluesOnly).eigenvalues();
    return !(ev.minCoeff() > kSingularRatio * ev.maxCoeff());
}

// The logarithm of the determinant of a positive definite matrix.
double log_det(const Mat& s) { return 2 * Eigen::LLT<Mat>(s).matrixL().toDenseMatrix().diagonal().array().log().sum(); }

std::string tokens_text(std::size_t n) { return format_count(n) + (n == 1 ? " token" : " tokens"); }

} // namespace

MeasuresResult pair_measures(const Matrix& a, const Matrix& b, std::size_t dimensions, const std::string& nameA,
                             const std::string& nameB) {
    MeasuresResult out{{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}, {}};
    PairMeasures& m = out.measures;
    const auto p = static_cast<double>(dimensions);
    const auto n1 = static_cast<double>(a.rows), n2 = static_cast<double>(b.rows);
    const double n = n1 + n2;
    if (a.rows == 0 || b.rows == 0 || a.cols < dimensions || b.cols < dimensions) {
        for (const auto& [name, rows] : {std::pair{&nameA, a.rows}, std::pair{&nameB, b.rows}})
            if (rows == 0)
                out.problems.push_back(fill(kTooFew, {*name, tokens_text(0), tokens_text(1)}));
        return out;
    }
    const Mat x1 = tokens_of(a, dimensions), x2 = tokens_of(b, dimensions);
    const Vec m1 = x1.colwise().mean(), m2 = x2.colwise().mean();
    const Vec d = m1 - m2;
    m.euclidean = d.norm();

    // Each group's own covariance needs p + 1 tokens; the Bhattacharyya distance needs both.
    const Mat w1 = scatter(x1, m1), w2 = scatter(x2, m2);
    bool ownCovariances = true;
    for (const auto& [name, rows, w] : {std::tuple{&nameA, a.rows, &w1}, std::tuple{&nameB, b.rows, &w2}}) {
        if (static_cast<double>(rows) < p + 1) {
            out.problems.push_back(fill(kTooFew, {*name, tokens_text(rows), tokens_text(dimensions + 1)}));
            ownCovariances = false;
        } else if (singular(*w)) {
            out.problems.push_back(fill(kSingular, {*name, format_count(dimensions)}));
            ownCovariances = false;
        }
    }
    if (ownCovariances) {
        const Mat s1 = w1 / (n1 - 1), s2 = w2 / (n2 - 1);
        const Mat s = (s1 + s2) / 2;
        m.bhattacharyyaDistance =
            d.dot(Eigen::LDLT<Mat>(s).solve(d)) / 8 + (log_det(s) - (log_det(s1) + log_det(s2)) / 2) / 2;
        m.bhattacharyyaAffinity = std::exp(-m.bhattacharyyaDistance);
    }

    // The within-groups matrix E serves the pooled covariance and the MANOVA.
    const Mat e = w1 + w2;
    if (n - 2 < p) {
        // Too few tokens in all for E to have full rank; each group's own shortage is listed above.
        if (ownCovariances)
            out.problems.push_back(fill(kPooledSingular, {nameA, nameB, format_count(dimensions)}));
        return out;
    }
    if (singular(e)) {
        out.problems.push_back(fill(kPooledSingular, {nameA, nameB, format_count(dimensions)}));
        return out;
    }
    const Eigen::LDLT<Mat> pooled(e / (n - 2));
    m.mahalanobis = std::sqrt(d.dot(pooled.solve(d)));

    const Vec grand = (n1 * m1 + n2 * m2) / n;
    const Mat h = n1 * (m1 - grand) * (m1 - grand).transpose() + n2 * (m2 - grand) * (m2 - grand).transpose();
    // trace(H (H + E)^-1), with H + E symmetric positive definite since E is.
    m.pillai = Eigen::LDLT<Mat>(h + e).solve(h).trace();
    m.pillaiDf1 = p;
    m.pillaiDf2 = n - p - 1;
    m.pillaiNull = p / (n - 1);
    if (m.pillaiDf2 > 0) {
        m.pillaiF = m.pillai / (1 - m.pillai) * m.pillaiDf2 / p;
        if (std::isfinite(m.pillaiF) && m.pillaiF >= 0)
            m.pillaiP = boost::math::cdf(boost::math::complement(
                boost::math::fisher_f_distribution<double>(m.pillaiDf1, m.pillaiDf2), m.pillaiF));
    }
    return out;
}

} // namespace tarvik
