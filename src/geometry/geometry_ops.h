#pragma once

#include "app/runtime.h"

// The fits and plot extents of every vowel group, as the group preparation run calls them. Each one
// works on the groups' token matrices (`data`, and `dataOriginal` for the extents of the values as
// read), writes its fields into the record, stores the record with the main window and returns it. A
// failure shows the operation's report, waits for it to close, and returns the record as it stood:
// the groups before the failing one keep their new fields. Degenerate groups are no failure (see
// geometry/fits.h for what they give); the two fits warn of them, every such group in one report:
// fewer tokens than dimensions plus one, or a semi-axis of 0.
namespace tarvik {

// Centre, star angle and rotation, star coordinates, semi-axes and star-frame outline of each group's
// F2 x F1 tokens (avg2D, theta2D, rottheta2D, star, A2D, B2D, xstar, ystar).
Handles calculate_vowel_2D_star(Runtime& rt, Handles handles);

// Each group's ellipse outline in data coordinates (ellps2D); needs calculate_vowel_2D_star first.
Handles calculate_2D_ellipses(Runtime& rt, Handles handles);

// Centre, both angles and rotations, double-star coordinates, semi-axes and the three outline curves
// of each group's F2 x F1 x duration tokens (avg, theta, rottheta, phi, rotphi, dubstar, A, B, C,
// xdubstar, ydubstar, zdubstar).
Handles calculate_vowel_3D_dubstar(Runtime& rt, Handles handles);

// Each group's ellipsoid outline in data coordinates (ellps3D); needs calculate_vowel_3D_dubstar first.
Handles calculate_3D_ellipsoids(Runtime& rt, Handles handles);

// The 3D plot frame over all groups (axes3D, and axes3DOriginal from the values as read).
Handles calculate_max_3D_axes(Runtime& rt, Handles handles);

// The 2D plot frame over all groups (axes2D, and axes2DOriginal from the values as read).
Handles calculate_max_2D_axes(Runtime& rt, Handles handles);

} // namespace tarvik
