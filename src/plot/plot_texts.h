#pragma once

#include "ui/menus.h"

#include <array>
#include <cstddef>
#include <string_view>

// Every text the plot windows, the plot buttons and the plot style controls show.
namespace tarvik::plot_text {

inline constexpr std::string_view kWindowName = "Output";
inline constexpr std::string_view kMouseHandler = "plot_show_mouse_location";

inline constexpr std::string_view kNotAvailableTitle = "Option not available";
inline constexpr std::string_view kNotAvailableText =
    "This option is not available since there was no duration information specified.";
inline constexpr std::string_view kCheckboxTitle = "Plot checkbox checked?";
inline constexpr std::string_view kCheckboxText = "Make sure you have at least one plot checkbox checked.";

// The window number that earns the note; later numbers pass silently.
inline constexpr int kNoteAtWindow = 501;
inline constexpr std::string_view kNoteTitle = "Just a note";
inline constexpr std::string_view kNoteText = "You have plotted over 500 graphs.";

inline constexpr std::string_view kOverlapTitle = "Cannot plot overlap";
inline constexpr std::string_view kOverlapTwoGroupsText =
    "Overlap plotting is limited currently to two vowel groups. Make sure to have both 'Group A' and "
    "'Group B' checkboxes selected here in Plot options Also, you will need to have calculated the "
    "overlaps for those same vowel groups in the 'Calculate overlap options' area above.";
inline constexpr std::string_view kOverlapSameGroupText =
    "You cannot plot the overlap of a group with itself. Make sure 'Group A' is not the same as 'Group B'";

// The normalized data plot reports its failures in a form of its own.
inline constexpr std::string_view kNormalizedFailureText = "Error:\n\n %s";
inline constexpr std::string_view kNormalizedFailureTitle =
    "Let Quillon know: Function \"plot_normalized_data\"";

// The first view of the ellipsoid plot, shown until a key is pressed.
inline constexpr std::string_view kFirstRotationTitle =
    "Best Fit Ellipsoid: First Rotation\n(press 'space' for second rotation)";
inline constexpr std::array<std::string_view, 3> kStarAxisLabels = {
    "Principal \"star\" axis", "Secondary \"star\" axis", "Primary \"double star\" axis"};

// Failures of the drawing operations (the wording of these is the program's own).
inline constexpr std::string_view kNoGroup = "There is no group %s: the session has %s groups.";
inline constexpr std::string_view kNotFitted = "Group %s has no %s yet: the groups have not been fitted.";
inline constexpr std::string_view kNoInsidePoints =
    "No %s overlap has been calculated yet, so no group has inside points to draw.";
inline constexpr std::string_view kNoPairOverlap =
    "The %s overlap of groups %s and %s has not been calculated.";
inline constexpr std::string_view kLengthMismatch = "The coordinate lists of a series differ in length.";
inline constexpr std::string_view kBadLineStyle = "Invalid line style '%s'.";
inline constexpr std::string_view kBadLimits = "The axis extents (%s) are not a positive number.";
inline constexpr std::string_view kNoAxes2D = "The 2D plot extents have not been calculated.";
inline constexpr std::string_view kUnknownKind = "Unknown plot kind %s.";
inline constexpr std::string_view kNoPlotHost = "Plot windows cannot be opened here.";
inline constexpr std::string_view kNoCheckboxResult = "The plot check boxes could not be read.";
inline constexpr std::string_view kNoGroupList = "The groups to plot could not be read.";
inline constexpr std::string_view kNoStyleEntry = "Entry %s of the %s menu does not exist.";

inline constexpr std::string_view kOriginalFailureText =
    "There was an error attempting to plot the original vowel data. Make sure you have data for the "
    "group(s) you are trying to plot.";
inline constexpr std::string_view kOverlapFailureText =
    "Did you calculate the overlaps for the two groups for which you want to plot the overlap? If so, make "
    "sure that you have selected both 'Group A' and 'Group B' checkboxes selected here in 'Plot Options.'";

// One plot kind of the plot menu: the title prefixes and the warnings shown when its drawing fails, per
// dimension. The kinds come in the order of PlotKind.
struct PlotKindTexts {
    PlotKind kind;
    std::string_view prefix3D, prefix2D;
    std::string_view failTitle3D, failText3D;
    std::string_view failTitle2D, failText2D;
};

inline constexpr std::array<PlotKindTexts, 5> kPlotKinds = {{
    {PlotKind::Original,
     "Original Data (No rotation):", "Original Data (No rotation):", "Failed to plot original data",
     kOriginalFailureText, "Failed to plot original data", kOriginalFailureText},
    {PlotKind::Normalized, "Normalized Data: ", "Normalized Data: ", "Failed to plot normalized data",
     kOriginalFailureText, "Failed to plot normalized data", kOriginalFailureText},
    {PlotKind::Shapes, "Best Fit Ellipsoid: (Second Rotation)", "Best Fit Ellipse: (Second Rotation)",
     "Failed to ellipsoid data",
     "Did you calculate the overlaps for all the groups for which you want to plot volumes? If so, make sure "
     "that you have selected both 'Group A' and 'Group B' checkboxes selected here in 'Plot Options.'",
     "Failed to ellipsoid data",
     "Did you calculate the overlaps for all the groups for which you want to plot ellipses? If so, make "
     "sure "
     "that you have selected both 'Group A' and 'Group B' checkboxes selected here in 'Plot Options.'"},
    {PlotKind::Volumes, "3D Volumes:", "2D Spheres:", "Failed to plot volumes",
     "Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes selected. Also, did you "
     "calculate the 3D overlaps for the groups for which you want to plot volumes?",
     "Failed to plot spheres",
     "Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes selected. Also, did you "
     "calculate the 2D overlaps for the groups for which you want to plot spheres?"},
    {PlotKind::Overlap,
     "Normalized data 3D overlap:\n(Overlapping data's color is averaged between the two groups)",
     "Normalized data 2D overlap:\n(Overlapping data's color is averaged between the two groups)\n",
     "Failed to plot 3D overlap", kOverlapFailureText, "Failed to plot 2D overlap", kOverlapFailureText},
}};

constexpr bool in_kind_order() {
    for (std::size_t i = 0; i < kPlotKinds.size(); ++i)
        if (static_cast<std::size_t>(kPlotKinds[i].kind) != i)
            return false;
    return true;
}
static_assert(in_kind_order(), "the texts of each plot kind sit at the kind's place");

inline constexpr const PlotKindTexts& kind_texts(PlotKind kind) {
    return kPlotKinds[static_cast<std::size_t>(kind)];
}

} // namespace tarvik::plot_text
