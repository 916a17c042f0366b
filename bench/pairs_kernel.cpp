// The least work that gives an all-pairs overlap its counts, timed: every pair i < j of a session's
// groups, in 3D, counted by the grid walk alone on one thread, with nothing kept but the counts. The
// overlap step and the batch tool do this work and more (the record, the log, the outputs, the progress);
// bench/all_pairs.sh prints both times side by side.
//     tarvik_pairs_kernel SESSION.tarvik RESOLUTION
// Prints "<pairs> pairs, <grid points inside both> inside both: <seconds>".
#include "session/session_file.h"
#include "core/number.h"
#include "overlap/grid_overlap.h"
#include "overlap/overlap_ops.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3 || !tarvik::is_number_text(argv[2])) {
        std::cerr << "usage: tarvik_pairs_kernel SESSION.tarvik RESOLUTION\n";
        return 2;
    }
    try {
        const auto window = tarvik::load_session_file(argv[1]);
        tarvik::Handles handles = *window->retrieve();
        const double steps = tarvik::to_number(argv[2]);
        handles.overlapResolution = {steps, steps, steps};
        const tarvik::OverlapInputs in = tarvik::overlap_inputs(handles, true);
        if (in.badResolution)
            std::rethrow_exception(in.badResolution);
        for (const auto& noFit : in.noFit)
            if (noFit)
                std::rethrow_exception(noFit);

        const auto start = std::chrono::steady_clock::now();
        long long pairs = 0, both = 0;
        for (std::size_t i = 0; i < in.ellipsoids.size(); ++i)
            for (std::size_t j = i + 1; j < in.ellipsoids.size(); ++j) {
                both += tarvik::grid_counts_3d(in.ellipsoids[i], in.ellipsoids[j], in.resolution).shares.Ebothsum;
                ++pairs;
            }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::cout << pairs << " pairs, " << both << " inside both: " << took.count() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "tarvik_pairs_kernel: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
