#pragma once

#include "app/runtime.h"
#include "ui/plot_description.h"

#include <string>
#include <vector>

// The plot kinds "Ellipsoid/Ellipse", "Volumes/Spheres" and "Overlap (Group A & B Only)": the groups'
// fitted shapes and the grid points the overlap estimates found inside them, each group in its own
// marker and colour, every axis reversed with grid lines. Each returns false after showing the report
// of a caught failure (a shape not fitted, no overlap calculated yet, a group that does not exist).
namespace tarvik {

// Two views in one window: the tokens in the double-star frame (shown at once, with a title asking for
// a key), then, after the key, the three outline curves projected onto the coordinate planes. `dimensions`
// is not used.
bool plot_3D_ellipsoid(Runtime& rt, const Handles& handles, PlotDescription& plot,
                       const std::vector<int>& vowelList, const std::string& dimensions);

// Each group's ellipse outline as a ring of its markers.
bool plot_2D_ellipses(Runtime& rt, const Handles& handles, PlotDescription& plot,
                      const std::vector<int>& vowelList);

// Each group's ellipsoid (ellipse) filled with the grid points inside it on the grid of the latest
// overlap run that involved the group, counted again over its fit; a group without such a grid draws
// an empty series.
bool plot_3D_volumes(Runtime& rt, const Handles& handles, PlotDescription& plot,
                     const std::vector<int>& vowelList);
bool plot_2D_spheres(Runtime& rt, const Handles& handles, PlotDescription& plot,
                     const std::vector<int>& vowelList);

// Groups A and B (either order; the smaller index is drawn first) with their inside points, then the
// points inside both as stars in the mean of the two colours, counted again on the pair's grid when its
// overlap cell holds a result of the dimension.
bool plot_3D_vowels_overlap(Runtime& rt, const Handles& handles, PlotDescription& plot, int A, int B);
bool plot_2D_vowels_overlap(Runtime& rt, const Handles& handles, PlotDescription& plot, int A, int B);

} // namespace tarvik
