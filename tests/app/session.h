#pragma once

#include "app/entry.h"
#include "app/runtime.h"
#include "ui/scripted_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvik::testing {

// A runtime over scripted dialogs and a fixed clock (05-Dec-2026 11:54:46), with its main window.
struct Session {
    ScriptedServices scripted;
    Runtime rt{scripted.services()};

    std::optional<ControlRef> start(const std::vector<EntryArg>& args = {std::string("visible"),
                                                                         std::string("off")}) {
        return zerivizi_export(rt, args);
    }
    Figure& fig() const { return rt.figure(); }
    const Control& control(const std::string& tag) const { return rt.figure().control(tag); }
    // The record stored with the main window.
    Handles record() const {
        const auto& stored = rt.figure().retrieve();
        if (!stored)
            throw std::logic_error("no record stored with the main window");
        return *stored;
    }
    const TextList& log() const { return control("listbox_log").string; }
    // The entry called the way a control's callback calls it, with the stored record.
    void call_handler(const std::string& handler, const std::string& tag) {
        zerivizi_export(rt, {handler, ControlRef{tag}, std::monostate{}, record()});
    }
};

// A test that starts with the main window created (hidden).
class StartedSession : public ::testing::Test {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

} // namespace tarvik::testing
