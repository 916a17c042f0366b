#pragma once

#include "ui/figure.h"

#include <memory>
#include <vector>

namespace tarvik {

// The File menu's check entry that turns the fits to the mirrored axes of older sessions.
inline constexpr const char* kMirroredFitAxesTag = "menuItem_mirroredFitAxes";

// Step 4's button that shows the Results window again; enabled while the record holds overlap results.
inline constexpr const char* kShowResultsTag = "button_show_results";
// The object that stands before it in the layout.
inline constexpr const char* kShowResultsFollows = "text_2D_overlap";

// Step 4's options within subjects and for bootstrap intervals, after "Show results table" in layout
// order, and those of them that are step 4's objects (enabled in step 4).
inline constexpr const char* kPerSubjectTag = "checkbox_per_subject";
inline constexpr const char* kReplicatesTag = "edit_bootstrap_replicates";
inline constexpr const char* kConfidenceTag = "edit_bootstrap_confidence";
inline constexpr const char* kSpreadControls[] = {kPerSubjectTag, "text_bootstrap_replicates", kReplicatesTag,
                                                  "text_bootstrap_confidence", kConfidenceTag};
inline constexpr const char* kSpreadStepObjects[] = {kPerSubjectTag, kReplicatesTag, kConfidenceTag};

// The main window's layout table: the File menu's items and every control, frame and shadow in creation
// order (frames and shadows first, so that they lie behind the controls placed on them).
std::vector<Control> main_window_layout();

// The window's own properties as the layout gives them.
WindowProps main_window_properties();

// A new main window built from the layout table.
std::shared_ptr<Figure> build_main_window();

} // namespace tarvik
