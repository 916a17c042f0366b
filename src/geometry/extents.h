#pragma once

#include "core/handles.h"
#include "core/matrix.h"

#include <cstddef>
#include <vector>

// The half-widths of the symmetric plot frame around the origin: the largest magnitude of any token of
// any group on an axis, with a 10 % margin. Missing values (NaN) are passed over; an axis on which no
// group has a number at all has extent NaN. Groups without tokens contribute nothing.
namespace tarvik {

inline constexpr double kExtentMargin = 1.1;

// kExtentMargin x the largest |value| in column `col` (0-based) of all the matrices. Throws
// std::out_of_range when a matrix with rows has no such column.
double axis_extent(const std::vector<const Matrix*>& groups, std::size_t col);

// x from column 1 (F2), y from column 2 (F1).
Axes2D extents_2d(const std::vector<const Matrix*>& groups);

// x from column 1 (F2), y from column 3 (duration), z from column 2 (F1): the 3D plots put duration
// upright on y and F1 on z.
Axes3D extents_3d(const std::vector<const Matrix*>& groups);

} // namespace tarvik
