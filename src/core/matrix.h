#pragma once

#include <cstddef>
#include <vector>

namespace tarvik {

// A dense row-major matrix of doubles. Group data and fitted outlines use it; an empty matrix has no rows.
struct Matrix {
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values;

    Matrix() = default;
    Matrix(std::size_t r, std::size_t c, double fill = 0.0) : rows(r), cols(c), values(r * c, fill) {}

    bool empty() const { return rows == 0 || cols == 0; }
    double& operator()(std::size_t r, std::size_t c) { return values[r * cols + c]; }
    double operator()(std::size_t r, std::size_t c) const { return values[r * cols + c]; }

    friend bool operator==(const Matrix&, const Matrix&) = default;
};

} // namespace tarvik
