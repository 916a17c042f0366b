// The handler table of the whole program: every subsystem's handlers under their names. It stands above
// the subsystems, which know only the table's type.
#include "app/handlers.h"
#include "app/help.h"
#include "app/log_view.h"
#include "session/session_menu.h"
#include "geometry/fit_axes_menu.h"
#include "grouping/group_ops.h"
#include "grouping/grouping_ops.h"
#include "grouping/pipeline.h"
#include "import/column_mapping.h"
#include "import/load_file.h"
#include "normalize/driver.h"
#include "overlap/driver.h"
#include "overlap/results_step.h"
#include "plot/plot_dispatcher.h"

namespace tarvik {

const HandlerTable& handler_table() {
    static const HandlerTable table = [] {
        HandlerTable t;
        register_no_action_handlers(t);
        register_file_menu_handlers(t);
        register_import_handlers(t);
        register_column_mapping_handlers(t);
        register_normalization_handlers(t);
        register_grouping_handlers(t);
        register_group_handlers(t);
        register_pipeline_handlers(t);
        register_fit_axes_handlers(t);
        register_overlap_handlers(t);
        register_results_handlers(t);
        register_plot_handlers(t);
        register_log_handlers(t);
        register_help_handlers(t);
        register_session_handlers(t);
        return t;
    }();
    return table;
}

} // namespace tarvik
