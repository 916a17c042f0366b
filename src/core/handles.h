#pragma once

#include "core/color.h"
#include "core/fit_orientation.h"
#include "core/matrix.h"
#include "core/ordered_map.h"
#include "core/shared.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tarvik {

// A reference to a window, menu item or control of the main window: its tag. Tags survive a session
// file, so a reopened record re-binds to the re-created controls by name.
struct ControlRef {
    std::string tag;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

using TextList = std::vector<std::string>;

// One token row of the data table: one text per header, in header order.

// Role mapping of the data columns. An empty optional is the "empty list" that stands before step 1
// has been completed; afterwards each role holds a header text.
struct HeaderNames {
    std::optional<std::string> Subject, Vowel, F1, F2, Duration, PhraseDuration;
    friend bool operator==(const HeaderNames&, const HeaderNames&) = default;
};

// One cell of the normalized data table: empty, a normalized number, or the text read from the file.
using Cell = std::variant<std::monostate, double, std::string>;

// Lists of values keyed by category ("F1", "F2", "Duration"); a category is absent until written.
using CategoryValues = OrderedMap<std::vector<double>>;

// The tokens of one vowel of one subject, entry k of every list belonging to the same data row.
struct VowelTarget {
    std::vector<double> F1, F2, Duration;
    std::optional<std::vector<double>> PhraseDuration; // only when a phrase-duration column is mapped
    std::vector<double> RowLocation;                   // 1-based data-row numbers
    CategoryValues log;                                // base-10 logarithms, by category
    friend bool operator==(const VowelTarget&, const VowelTarget&) = default;
};

// A subject's reference values of one normalized category.
struct NormalizationStats {
    std::optional<double> grandmean;
    friend bool operator==(const NormalizationStats&, const NormalizationStats&) = default;
};

// Per-subject tokens and the results the normalizations add to them.
struct SubjectRecord {
    OrderedMap<VowelTarget> vowelTargets;
    OrderedMap<CategoryValues> normalizedTargets; // by vowel, then category
    OrderedMap<NormalizationStats> normalization; // by category ("F1", "F2", "duration")
    std::optional<double> grandmeanDuration;
    std::optional<double> stdDuration;
    friend bool operator==(const SubjectRecord&, const SubjectRecord&) = default;
};

// The grid on which the overlap estimate last counted the points inside a group's fitted shape: the
// grid of that pair, its first point (`min`) and `step` along F2, F1 and duration and its number of
// steps along each (in the plane: duration 0, 0 and 1). The points themselves are not kept: the plots
// walk the grid again over the group's fit, which gives them back one for one.
struct InsideGrid {
    std::array<double, 3> min{}, step{}, steps{};
    friend bool operator==(const InsideGrid&, const InsideGrid&) = default;
};

// One vowel group: its name and constraints, its tokens, its plot style and its fitted geometry.
// Geometry fields exist only once the fit has written them.
struct VowelGroup {
    std::string name;
    TextList constraintList;
    OrderedMap<TextList> constraints;
    Matrix data;
    Matrix dataOriginal;
    Color markerColor;
    double markerColorIndex = 0;
    std::string markerType;
    std::string markerLine;

    // 2D fit: centre, star axes, rotation, semi-axes and outline.
    std::optional<std::vector<double>> avg2D;
    std::optional<Matrix> star;
    std::optional<std::vector<double>> xstar, ystar;
    std::optional<double> theta2D;
    std::optional<Matrix> rottheta2D;
    std::optional<double> A2D, B2D;
    std::optional<Matrix> ellps2D;

    // 3D fit: centre, double-star axes, rotations, semi-axes and outline.
    std::optional<std::vector<double>> avg;
    std::optional<Matrix> dubstar;
    std::optional<std::vector<double>> xdubstar, ydubstar, zdubstar;
    std::optional<double> theta, phi;
    std::optional<Matrix> rottheta, rotphi;
    std::optional<double> A, B, C;
    std::optional<Matrix> ellps3D;

    // The grid of the group's latest 2D and 3D overlap estimate.
    std::optional<InsideGrid> Egrid2D, Egrid;

    friend bool operator==(const VowelGroup&, const VowelGroup&) = default;
};

// The vowel groups in list order. Each group is shared between copies of the record until one copy
// changes it: read `v[i]->name`, change `v[i].edit().name`. Copying the record thus copies no group.
using GroupList = std::vector<Shared<VowelGroup>>;

// One filled cell of the overlap table: 3D results, 2D results, or both. The grid-point counts behind
// the fractions are kept beside them so that reports need not derive them back; the points are not kept.
struct OverlapCell {
    std::optional<double> value, E1ovfrac, E2ovfrac;
    std::optional<double> E1sum, E2sum, Ebothsum;
    std::optional<double> value2D, E1ovfrac2D, E2ovfrac2D;
    std::optional<double> E1sum2D, E2sum2D, Ebothsum2D;
    friend bool operator==(const OverlapCell&, const OverlapCell&) = default;
};

// The overlap table, keyed by 1-based {i, j}, smaller index first.
using OverlapTable = std::map<std::pair<int, int>, OverlapCell>;

struct OverlapResolution {
    double n = 0, m = 0, s = 0;
    friend bool operator==(const OverlapResolution&, const OverlapResolution&) = default;
};

struct Axes3D {
    double Xwidth = 0, Ylength = 0, Zheight = 0;
    friend bool operator==(const Axes3D&, const Axes3D&) = default;
};

struct Axes2D {
    double Xwidth = 0, Ylength = 0;
    friend bool operator==(const Axes2D&, const Axes2D&) = default;
};

struct WebSettings {
    std::string homepage;
    std::string extension;
    double isWorking = 0;
    friend bool operator==(const WebSettings&, const WebSettings&) = default;
};

// The whole working state of one main window. It has value semantics: a handler works on its own copy
// and stores it back with the window; the copy stored last wins. Fields that exist only once written
// are optionals.
struct Handles {
    // One reference per tagged object of the main window (figure1, the menu, every control), in
    // creation order, and the main window itself.
    OrderedMap<ControlRef> objects;
    std::optional<ControlRef> output;

    // Data table: the header names and each column's cells going down the rows (row i of every column is
    // line i of the file's data). The large tables, the groups and the overlap table are shared between
    // copies of the record until one copy changes them, so that a copy of the record (each callback
    // makes one, each store another) costs little however large the study.
    TextList header;
    Shared<OrderedMap<TextList>> dataColumn;
    Shared<OrderedMap<std::vector<Cell>>> dataNormalizedColumn;

    // Column roles.
    HeaderNames HeaderName;
    double onlyAllow2D = 0;

    // Subjects and categories.
    Shared<OrderedMap<SubjectRecord>> dataSubject;
    TextList groups;
    TextList groupsNumeric;
    OrderedMap<TextList> subgroup;
    std::optional<std::string> currentSelectedGroup;
    std::optional<std::string> currentSelectedType;

    // Vowel groups (1-based indices in the user-visible fields).
    GroupList v;
    double currVowelNum = 0;
    double totalVowelNum = 0;

    // Plot styles.
    std::vector<Color> vowelColor;
    std::string vowelLineStyle;
    std::string vowelMarkerType;

    // Geometry, overlap and plotting settings.
    double stdmult = 0;
    FitOrientation fitOrientation = FitOrientation::Line;
    OverlapResolution overlapResolution;
    Shared<OverlapTable> overlap;
    Axes3D axes3D;
    Axes3D axes3DOriginal;
    std::optional<Axes2D> axes2D;
    std::optional<Axes2D> axes2DOriginal;
    std::optional<ControlRef> waitbar;
    std::vector<ControlRef> plotFigure;
    std::optional<ControlRef> currentAxes;

    // Wizard, help and About.
    double currStep = 0;
    std::array<std::vector<ControlRef>, 4> stepObjects;
    std::array<TextList, 4> stepFrames;
    Color frameColor;
    Color frameColorHighlight;
    WebSettings web;
    TextList aboutMessage;

    friend bool operator==(const Handles&, const Handles&) = default;
};

// An operation's record together with the status it reports beside it.
struct HandlesAndStatus {
    Handles handles;
    int status = 0;
};

} // namespace tarvik
