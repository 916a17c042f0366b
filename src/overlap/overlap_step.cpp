#include "overlap/overlap_step.h"

#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"
#include "overlap/driver.h"
#include "overlap/overlap_ops.h"
#include "overlap/results_step.h"
#include "ui/figure.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

namespace tarvik {

namespace {

const char* const kOneMoment = "One moment... ";
const char* const kPairProgress = "Pair %s of %s: %s and %s";
const char* const kNotAvailableTitle = "Option not available";
const char* const kNotAvailableText =
    "This option is not available since there was no duration information specified.";
const char* const kNoGroupTitle = "No such group";
const char* const kNoGroup = "There is no group %s: the session has %s groups.";
const char* const kFailed3DTitle = "Contact Quillon";
const char* const kFailed3DText = "Function \"calculate_pairs_for_overlap\" in 3D failed to succeed";
// How often the calling thread of a run reports while it waits for the other threads to end.
constexpr std::chrono::milliseconds kWaitPoll{10};
constexpr std::string_view kRunOp = "calculate_pairs_for_overlap";
const char* const kRunFailureTitle = "Let Quillon know: Function: calculate_pairs_for_overlap\"";
constexpr std::string_view kPairOp2D = "calculate_2D_overlap";
constexpr std::string_view kPairOp3D = "calculate_3D_overlap";
const char* const kCancelled =
    "%s overlap cancelled after %s of %s pairs: the results of before the run are kept.";
const char* const kBadRequest =
    "An overlap request is {\"dimension\": \"2D\" or \"3D\", \"pair\": [i, j] or null[, \"resolution\": "
    "[n, m, s]][, \"threads\": t]}, not %s";

// A whole number of a request (a group of its pair, its threads) that an int holds; anything else is none.
std::optional<int> whole_number(const nlohmann::json& j) {
    if (!j.is_number_integer() || j.get<long long>() < std::numeric_limits<int>::min() ||
        j.get<long long>() > std::numeric_limits<int>::max())
        return std::nullopt;
    return j.get<int>();
}

// A menu's value as a group number; 0 (no group) when it is not a number of one.
int menu_group(const Control& menu) {
    const double v = first_value(menu);
    return v >= 1 && v <= std::numeric_limits<int>::max() ? static_cast<int>(v) : 0;
}

// What the calling thread of the work tells the window's thread: the pair it is on (1-based) and the
// column of its grid walk (0 between pairs).
class RunNews {
  public:
    struct Seen {
        int pair = 0;
        int column = 0;
        int done = 0; // pairs done by every thread
        friend bool operator==(const Seen&, const Seen&) = default;
    };
    void set(int pair, int column) {
        const std::lock_guard lock(mutex_);
        pair_ = pair, column_ = column;
    }
    void add_done() { ++done_; }
    Seen get() {
        const std::lock_guard lock(mutex_);
        return {pair_, column_, done_.load()};
    }

  private:
    std::mutex mutex_;
    int pair_ = 0, column_ = 0;
    std::atomic<int> done_ = 0;
};

// The pairs' grid overlaps, shared among `threads` threads (the calling one among them) that each take
// the next pair not taken yet, until every pair is done or the run is cancelled: pure work on the run's
// own data. Each result goes to its pair's place, so that the results, and all that is made of them,
// are the same for every number of threads. Only the calling thread reports to the window's thread
// (`news`, `checkpoint`): at each column of its own pairs, and every few milliseconds while it waits
// for the others. Returns a result per pair; a pair that was not done (cancelled) has none.
std::vector<std::optional<PairOverlap>> compute_pairs(const OverlapInputs& in,
                                                      const std::vector<std::pair<int, int>>& pairs, int threads,
                                                      const std::atomic<bool>& cancel, RunNews& news,
                                                      const BackgroundRunner::Checkpoint& checkpoint) {
    std::vector<std::optional<PairOverlap>> out(pairs.size());
    std::atomic<std::size_t> next = 0;
    std::atomic<bool> failed = false; // a thread's failure stops the others
    std::exception_ptr failure;
    std::mutex waiting;
    std::condition_variable helperEnded;
    int helpersRunning = threads - 1;
    const auto stop = [&] { return cancel.load() || failed.load(); };

    // Pair k, unless the run stops first; false when it did.
    const auto run_pair = [&](std::size_t k, bool calling) {
        if (stop())
            return false;
        const int number = static_cast<int>(k) + 1;
        if (calling) {
            news.set(number, 0);
            checkpoint();
        }
        try {
            out[k] = pair_overlap(in, pairs[k].first, pairs[k].second, [&](int column) {
                if (stop())
                    throw OverlapCancelled{};
                if (calling) {
                    news.set(number, column);
                    checkpoint();
                }
            });
        } catch (const OverlapCancelled&) {
            return false;
        }
        news.add_done();
        return true;
    };
    const auto take_pairs = [&](bool calling) {
        for (std::size_t k; (k = next++) < pairs.size();)
            if (!run_pair(k, calling))
                return;
    };
    const auto help = [&] {
        try {
            take_pairs(false);
        } catch (...) {
            const std::lock_guard lock(waiting);
            if (!failure)
                failure = std::current_exception();
            failed = true;
        }
        const std::lock_guard lock(waiting);
        --helpersRunning;
        helperEnded.notify_one();
    };

    // However the calling thread's part ends (a failure, a thread that cannot be started), the helpers
    // are told to stop, and they are joined before the data they use go.
    struct StopHelpers {
        std::atomic<bool>& stopped;
        ~StopHelpers() { stopped = true; }
    };
    // The calling thread takes the first pair before any helper starts, so that the window's thread
    // hears of the run from its start.
    const std::size_t first = next++;
    std::vector<std::jthread> helpers;
    const StopHelpers guard{failed};
    helpers.reserve(static_cast<std::size_t>(threads - 1));
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(help);
    if (first < pairs.size() && run_pair(first, true))
        take_pairs(true);
    const int lastPair = news.get().pair;
    std::unique_lock lock(waiting);
    while (helpersRunning > 0) {
        lock.unlock();
        news.set(lastPair, 0);
        checkpoint();
        lock.lock();
        helperEnded.wait_for(lock, kWaitPoll, [&] { return helpersRunning == 0; });
    }
    if (failure)
        std::rethrow_exception(failure);
    return out;
}

// One run of the step, on the record of the main window.
class OverlapRun {
  public:
    OverlapRun(Runtime& rt, const OverlapRequest& r)
        : rt_(rt), fig_(rt.figure()), window_(rt.main_window()), r_(r),
          handles_(fig_.retrieve().value_or(Handles{})) {}

    bool run() {
        if (refuse_3d_without_durations(rt_, r_.threeD))
            return false;
        const int groups = static_cast<int>(handles_.v.size());
        if (r_.pair) {
            for (const int g : {r_.pair->first, r_.pair->second})
                if (g < 1 || g > groups) {
                    rt_.dialogs().warning({fill(kNoGroup, {std::to_string(g), std::to_string(groups)})},
                                          kNoGroupTitle, true);
                    return false;
                }
            pairs_ = {std::minmax(r_.pair->first, r_.pair->second)};
            fig_.set_value("popupmenu_overlap_group_a", r_.pair->first);
            fig_.set_value("popupmenu_overlap_group_b", r_.pair->second);
        } else {
            pairs_ = all_pairs(groups);
        }
        // The window shows what runs.
        fig_.set_value("checkbox_all_group_overlap", r_.pair ? 0 : 1);
        if (r_.resolution)
            handles_.overlapResolution = *r_.resolution;
        bool finished = false;
        const bool ran = guarded(rt_, ReportForm::B, kRunOp, [&] { finished = run_pairs(); },
                                 {.wait = false, .title = kRunFailureTitle});
        if (!ran && r_.threeD)
            rt_.dialogs().warning({kFailed3DText}, kFailed3DTitle, true);
        return ran && finished;
    }

  private:
    // Under one progress dialog and the busy pointer, whatever happens.
    bool run_pairs() {
        ProgressService& progress = *rt_.services().progress;
        std::optional<ProgressRef> bar;
        try {
            bar = progress.create(0, kOneMoment);
            fig_.set_pointer(Pointer::Watch);
            const bool finished = compute_and_record(progress, *bar);
            progress.close(*bar);
            fig_.set_pointer(Pointer::Arrow);
            return finished;
        } catch (...) {
            if (bar)
                progress.close(*bar);
            fig_.set_pointer(Pointer::Arrow);
            throw;
        }
    }

    bool compute_and_record(ProgressService& progress, ProgressRef bar) {
        const OverlapInputs in = overlap_inputs(handles_, r_.threeD);
        const int total = static_cast<int>(pairs_.size());
        std::atomic<bool> cancel = false;
        RunNews news;
        RunNews::Seen shown;
        // On the window's thread: the text of the calling thread's pair when it starts, then the bar at
        // each column: each pair done owns the share 1 / total, and column i of m + 1 of the calling
        // thread's pair adds i / m of a share. On one thread the bar thus moves through each pair's
        // share in turn.
        const auto poll = [&] {
            if (const RunNews::Seen seen = news.get(); seen.pair > 0 && seen != shown) {
                const auto [a, b] = pairs_[static_cast<std::size_t>(seen.pair - 1)];
                std::optional<std::string> text;
                if (seen.pair != shown.pair)
                    text = fill(kPairProgress, {std::to_string(seen.pair), std::to_string(total),
                                                handles_.v[static_cast<std::size_t>(a - 1)]->name,
                                                handles_.v[static_cast<std::size_t>(b - 1)]->name});
                const double share = 1.0 / total;
                const double walked = static_cast<double>(seen.column) / in.resolution.m;
                progress.update(bar, seen.done * share + walked * share, text);
                shown = seen;
            }
            // Cancel, or the window closed under the run.
            if (progress.cancelled(bar) || !rt_.main_window())
                cancel = true;
        };
        std::vector<std::optional<PairOverlap>> computed;
        BackgroundRunner* runner = rt_.services().background;
        SynchronousRunner here;
        BackgroundRunner& work = runner ? *runner : here;
        const int threads = std::clamp(r_.threads > 0 ? r_.threads : work.threads(), 1, std::max(total, 1));
        work.run_work(
            [&](const BackgroundRunner::Checkpoint& checkpoint) {
                computed = compute_pairs(in, pairs_, threads, cancel, news, checkpoint);
            },
            poll);

        if (!rt_.main_window()) // closed under the run: nobody to tell
            return false;
        const auto done = std::count_if(computed.begin(), computed.end(),
                                        [](const std::optional<PairOverlap>& p) { return p.has_value(); });
        if (static_cast<std::size_t>(done) < pairs_.size()) {
            append_log(rt_, {fill(kCancelled, {r_.threeD ? "3D" : "2D", std::to_string(done),
                                               std::to_string(total)})});
            return false;
        }
        record(computed);
        return true;
    }

    // In pair order: each failed pair reported, then every result, log line and the last pair's text.
    void record(std::vector<std::optional<PairOverlap>>& computed) {
        std::vector<LogEntry> lines;
        lines.reserve(computed.size());
        for (std::optional<PairOverlap>& done : computed) {
            if (done->failure)
                guarded(rt_, ReportForm::B, r_.threeD ? kPairOp3D : kPairOp2D,
                        [&] { std::rethrow_exception(done->failure); });
            record_pair(handles_, *done, r_.threeD);
            lines.emplace_back(std::move(done->logLine));
        }
        append_log(rt_, lines);
        if (!computed.empty()) {
            const PairOverlap& last = *computed.back();
            fig_.set_string(r_.threeD ? kOverlapText3D : kOverlapText2D,
                            {last.failure ? "NaN" : format_significant(last.shares.value, 5)});
        }
        handles_.waitbar.reset();
        update_results_button(fig_, handles_);
        rt_.store(handles_);
    }

    Runtime& rt_;
    Figure& fig_;
    std::shared_ptr<Figure> window_; // kept while the run waits, even when it is closed meanwhile
    const OverlapRequest r_;
    Handles handles_;
    std::vector<std::pair<int, int>> pairs_; // smaller index first
};

} // namespace

std::string to_text(const OverlapRequest& r) {
    const std::string dimension = r.threeD ? "3D" : "2D";
    if (!r.pair)
        return dimension + " overlap of every pair";
    return dimension + " overlap of groups " + std::to_string(r.pair->first) + " and " +
           std::to_string(r.pair->second);
}

std::ostream& operator<<(std::ostream& out, const OverlapRequest& r) { return out << to_text(r); }

void to_json(nlohmann::json& j, const OverlapRequest& r) {
    j = {{"dimension", r.threeD ? "3D" : "2D"},
         {"pair", r.pair ? nlohmann::json::array({r.pair->first, r.pair->second}) : nlohmann::json(nullptr)}};
    if (r.resolution)
        j["resolution"] = {r.resolution->n, r.resolution->m, r.resolution->s};
    if (r.threads != 0)
        j["threads"] = r.threads;
}

void from_json(const nlohmann::json& j, OverlapRequest& r) {
    const auto bad = [&] { return std::invalid_argument(fill(kBadRequest, {j.dump()})); };
    if (!j.is_object() || j.size() != 2 + j.count("resolution") + j.count("threads") || !j.contains("dimension") ||
        !j.contains("pair"))
        throw bad();
    const nlohmann::json& dimension = j.at("dimension");
    const nlohmann::json& pair = j.at("pair");
    if (dimension != "2D" && dimension != "3D")
        throw bad();
    OverlapRequest out{.threeD = dimension == "3D", .pair = std::nullopt, .resolution = std::nullopt, .threads = 0};
    if (!pair.is_null()) {
        const auto a = pair.is_array() && pair.size() == 2 ? whole_number(pair[0]) : std::nullopt;
        const auto b = pair.is_array() && pair.size() == 2 ? whole_number(pair[1]) : std::nullopt;
        if (!a || !b)
            throw bad();
        out.pair = {*a, *b};
    }
    if (j.contains("resolution")) {
        const nlohmann::json& steps = j.at("resolution");
        if (!steps.is_array() || steps.size() != 3 ||
            !std::all_of(steps.begin(), steps.end(), [](const nlohmann::json& x) { return x.is_number(); }))
            throw bad();
        out.resolution = OverlapResolution{steps[0].get<double>(), steps[1].get<double>(), steps[2].get<double>()};
    }
    if (j.contains("threads")) {
        const std::optional<int> threads = whole_number(j.at("threads"));
        if (!threads || *threads < 0)
            throw bad();
        out.threads = *threads;
    }
    r = out;
}

bool refuse_3d_without_durations(Runtime& rt, bool threeD) {
    const auto& stored = rt.figure().retrieve();
    if (!threeD || !stored || stored->onlyAllow2D != 1)
        return false;
    rt.dialogs().wait(rt.dialogs().message({kNotAvailableText}, kNotAvailableTitle, Icon::None, WindowStyle::NonModal));
    return true;
}

OverlapRequest overlap_request_from_window(const Figure& window, bool threeD) {
    OverlapRequest r{.threeD = threeD, .pair = std::nullopt, .resolution = std::nullopt, .threads = 0};
    if (first_value(window.control("checkbox_all_group_overlap")) == 0)
        r.pair = {menu_group(window.control("popupmenu_overlap_group_a")),
                  menu_group(window.control("popupmenu_overlap_group_b"))};
    return r;
}

StepReport calculate_overlap(Runtime& rt, const OverlapRequest& r) {
    return run_step(rt, [&] { return OverlapRun(rt, r).run(); });
}

} // namespace tarvik
