#include "geometry/extents.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvik {

double axis_extent(const std::vector<const Matrix*>& groups, std::size_t col) {
    double largest = std::numeric_limits<double>::quiet_NaN();
    for (const Matrix* m : groups) {
        if (m->rows == 0)
            continue;
        if (col >= m->cols)
            throw std::out_of_range("Index exceeds matrix dimensions.");
        for (std::size_t r = 0; r < m->rows; ++r) {
            const double v = std::fabs((*m)(r, col));
            // A number beats NaN, and NaN never beats a number.
            if (!std::isnan(v) && (std::isnan(largest) || v > largest))
                largest = v;
        }
    }
    return kExtentMargin * largest;
}

Axes2D extents_2d(const std::vector<const Matrix*>& groups) {
    Axes2D axes;
    axes.Xwidth = axis_extent(groups, 0);
    axes.Ylength = axis_extent(groups, 1);
    return axes;
}

Axes3D extents_3d(const std::vector<const Matrix*>& groups) {
    Axes3D axes;
    axes.Xwidth = axis_extent(groups, 0);
    axes.Ylength = axis_extent(groups, 2);
    axes.Zheight = axis_extent(groups, 1);
    return axes;
}

} // namespace tarvik
