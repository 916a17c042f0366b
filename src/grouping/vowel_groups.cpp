#include "grouping/vowel_groups.h"

#include "app/guarded.h"
#include "core/format.h"

namespace tarvik {

Handles update_currVowelNum(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "update_currVowelNum", [&] {
        Figure& fig = rt.figure();
        const double num = first_value(fig.control("listbox_currVowel_select"));
        if (num < 1 || num > static_cast<double>(handles.v.size()))
            return;
        handles.currVowelNum = num;
        const VowelGroup& g = handles.v[static_cast<std::size_t>(num) - 1];
        fig.set_string("listbox_currVowel_defined", g.constraintList);
        fig.set_string("edit_currVowel_name", {g.name});
        rt.store(handles);
    });
    return handles;
}

Handles update_listbox_currVowel_select(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "update_listbox_currVowel_select", [&] {
        Figure& fig = rt.figure();
        TextList labels;
        for (std::size_t i = 0; i < handles.v.size(); ++i)
            labels.push_back(format_int(static_cast<double>(i + 1)) + " " + handles.v[i].name);
        fig.set_string("listbox_currVowel_select", labels);
        fig.set_value("listbox_currVowel_select", static_cast<double>(labels.size()));
        rt.store(handles);
    });
    return update_currVowelNum(rt, std::move(handles));
}

} // namespace tarvik
