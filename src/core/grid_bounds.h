#pragma once

// Bounds of the overlap grid. The points inside each shape are kept for drawing and saved with the
// session, so memory and time grow with the number of grid points: at most kMaxGridSteps intervals along
// an axis, and at most kMaxGridPoints points in one grid.
namespace tarvik {

inline constexpr int kMaxGridSteps = 1000;
inline constexpr long long kMaxGridPoints = 10'000'000;

} // namespace tarvik
