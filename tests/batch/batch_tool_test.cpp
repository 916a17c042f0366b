// The batch tool run as a process, with its output captured in a folder of the test's own: exit statuses
// and messages, the activity log, session files, the tables it writes (the README's worked example among
// them) and plot pictures.
#include "app/log_view.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

using namespace tarvik::testing;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The pieces of a text between separators (the cells of a table line), a trailing empty one included.
std::vector<std::string> cells_of(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

// The lines of a text; a line feed at its end ends its last line.
std::vector<std::string> lines_of(const std::string& text) {
    return cells_of(text.ends_with('\n') ? text.substr(0, text.size() - 1) : text, '\n');
}

// The example studies' folder, and tests/data/plot_vowels.txt (vowels i, a, e; i and e overlap, a lies
// apart) with its roles.
const std::string kExamples = TARVIK_TEST_DATA_DIR "/../../examples/";
const std::string kPlotVowels = std::string("--data '") + TARVIK_TEST_DATA_DIR +
                                "/plot_vowels.txt' --subject Speaker --vowel Vowel --f1 F1 --f2 F2"
                                " --duration Dur --phrase-duration none";
// The same under z-scores with the groups i, a and e.
const std::string kPlotVowelsStudy =
    kPlotVowels + " --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore" +
    " --group i=Vowel:i --group a=Vowel:a --group e=Vowel:e";

// A test with a fresh folder for the files the tool writes.
class BatchTool : public ::testing::Test {
  protected:
    // A path in the test's folder, quoted for the shell.
    std::string path(const std::string& name) const { return "'" + (dir / name) + "'"; }

    // Runs the tool with the given arguments (already quoted for the shell).
    Outcome run(const std::string& args) const {
        const std::string out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd =
            launcher + "'" + TARVIK_BATCH_EXE + "' " + args + " >'" + out + "' 2>'" + err + "' </dev/null";
        Outcome o;
        // Now and then xvfb-run cannot remove its own temporary folder when several run at once; it then
        // says so and exits 5 whatever the tool did, so the run is made again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int raw = std::system(cmd.c_str());
            o = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, file_contents(out), file_contents(err)};
            if (launcher.empty() || o.status != 5 || o.err.find("xvfb-run: error:") == std::string::npos)
                break;
        }
        return o;
    }

    // Each run exits with 1 and begins its standard error with the message.
    void expect_refusals(const std::vector<std::pair<std::string, std::string>>& cases) const {
        for (const auto& [args, message] : cases) {
            const Outcome r = run(args);
            EXPECT_EQ(r.status, 1) << args;
            EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
        }
    }

    TestFolder dir{"tarvik_batch"};
    // Put before the tool's path, e.g. to give it a virtual display.
    std::string launcher;
};

// The reason names the option that cannot be read.
TEST_F(BatchTool, ACommandLineThatCannotBeReadExitsWithTwoAndOneLineOfReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"--frobnicate", "--frobnicate"},
        {"--log", "--log"},
        {"--normalize-f1 bogus", "--normalize-f1"},
        {"--extremes-f1 ae", "--extremes-f1"},
        {"--overlap 4d", "--overlap"},
        {"--group 'nothing'", "--group"},
        {"--orientation sideways", "--orientation"},
        {"--pair 1,0", "--pair"},
        {"--threads 0", "--threads"},
        {"--threads 257", "--threads"},
        // the overlap's own rule: whole numbers of intervals up to 1000, 3D grids up to 10 million points
        {"--resolution 1001", "--resolution"},
        {"--resolution 2.5", "--resolution"},
        {"--overlap both --resolution 300", "--resolution"},
        // plot options belong to a --plot, which needs its file
        {"--plot-dim 3d --plot original --plot-out a.png", "--plot-dim"},
        {"--plot original", "--plot original"},
        {"--plot overlap --plot-groups 1,2,3 --plot-out a.png", "--plot-groups"}};
    for (const auto& [args, option] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.rfind("tarvik3d-batch: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(option), std::string::npos) << r.err;
        EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// A refused or failed step exits with 1 and the message a user would see on standard error.
TEST_F(BatchTool, RefusalsExitWithOneAndTheMessage) {
    write_contents(dir / "notes.tarvik", "{\"format\": \"something else\"}");
    expect_refusals(
        {{"--data '" TARVIK_TEST_DATA_DIR "/plot_vowels.txt' --subject Speaker",
          "Mapping the columns needs all six roles: --subject, --vowel, "},
         {kPlotVowels + " --f1 F3", "Cannot continue: The data file has no column named 'F3'."},
         {kPlotVowels +
              " --normalize-f1 extremes --normalize-f2 extremes --extremes-f2 i,a --normalize-duration none",
          "F1: Select your extreme categories: You have cancelled this normalization"},
         {kPlotVowelsStudy + " --overlap 3d --pair 1,4",
          "No such group: There is no group 4: the session has 3 groups."},
         {kPlotVowels + " --overlap 2d", "The overlap needs vowel groups (--group)."},
         {kPlotVowels + " --normalize-f1 watt --normalize-f2 bark --normalize-duration none",
          "Watt-Fabricius normalization needs the corner vowels: --corners I,A"},
         {"--log " + path("missing/log.txt"), "tarvik3d-batch: cannot write "},
         {"--session " + path("notes.tarvik"), "Let Quillon know: \"menuItem_openSession_Callback\": "},
         {kPlotVowelsStudy + " --session " + path("notes.tarvik"),
          "A session (--session) already holds its data"}});
}

// The log of a study taken to every overlap is the one the window writes for the same choices, but for
// the clock in its session line. The study saved goes on in the next run, with its log.
TEST_F(BatchTool, TheLogIsTheOneTheWindowWritesAndASavedStudyGoesOnWithIt) {
    write_contents(dir / "log.txt", std::string(100000, '\n')); // replaced, not appended to
    const Outcome r =
        run(kPlotVowels + " --normalize-f1 none --normalize-f2 none --normalize-duration none" +
            " --group v1=Vowel:i --group v2=Vowel:a --group v3=Vowel:e --overlap both --csv " +
            path("both.csv") + " --save-session " + path("study") + " --log " + path("log.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    Session window;
    window.start();
    run_steps_1_to_3(window, {"plot_vowels.txt", true, true});
    const auto expected = lines_of(tarvik::log_file_text(window.log()));
    const auto saved = lines_of(file_contents(dir / "log.txt"));
    auto written = saved;
    ASSERT_EQ(written.size(), expected.size());
    const std::regex clock(R"(Session started: \d\d-[A-Z][a-z][a-z]-\d{4} \d\d:\d\d:\d\d)");
    EXPECT_TRUE(std::regex_match(written[5], clock)) << written[5];
    written[5] = expected[5];
    EXPECT_EQ(written, expected);

    // The extension is added as in the window; the log printed goes on from the saved one.
    const Outcome resumed =
        run("--session " + path("study.tarvik") + " --overlap 2d --csv " + path("2d.csv"));
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    const auto both = lines_of(file_contents(dir / "both.csv"));
    EXPECT_EQ(lines_of(file_contents(dir / "2d.csv")),
              std::vector<std::string>(both.begin(), both.begin() + 4));
    const auto after = lines_of(resumed.out);
    ASSERT_GT(after.size(), saved.size());
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), after.begin()));
}

// The pairs and the fits shared among threads give the outputs of one thread byte for byte: the tables,
// the log, and the saved session with every overlap cell and each group's fit and grid.
TEST_F(BatchTool, EveryNumberOfThreadsWritesTheSameOutputs) {
    std::string study = "--data '" + kExamples + "hillenbrand.txt' --subject Speaker --vowel Vowel --f1 F1" +
                        " --f2 F2 --duration Duration --phrase-duration none --normalize-f1 zscore" +
                        " --normalize-f2 zscore --normalize-duration zscore --overlap both --resolution 10";
    for (const char* v : {"ae", "ah", "aw", "eh", "ei", "er", "ih", "iy", "oa", "oo", "uh", "uw"})
        for (const char* g : {"man", "woman", "boy", "girl"})
            study += std::string(" --group '") + v + "-" + g + "=Vowel:" + v + ";Group:" + g + "'";
    const std::regex clock(R"(\d\d-[A-Z][a-z][a-z]-\d{4} \d\d:\d\d:\d\d)");
    std::vector<std::string> outputs[2];
    for (const int threads : {1, 4}) {
        const std::string n = std::to_string(threads);
        const Outcome r = run(study + " --threads " + n + " --csv " + path(n + ".csv") + " --json " +
                              path(n + ".json") + " --log " + path(n + ".log") + " --save-session " +
                              path(n + ".tarvik"));
        ASSERT_EQ(r.status, 0) << r.err;
        for (const char* output : {".csv", ".json", ".log", ".tarvik"})
            outputs[threads / 4].push_back(std::regex_replace(file_contents(dir / (n + output)), clock, "TIME"));
    }
    EXPECT_EQ(lines_of(outputs[0][0]).size(), 1 + 2 * 1128u);
    for (std::size_t k = 0; k < outputs[0].size(); ++k)
        EXPECT_TRUE(outputs[0][k] == outputs[1][k]) << k;
}

// A saved session leaves out what opening derives again (the subjects' tokens, the normalized table, the
// groups' tokens and fit coordinates), whatever the normalization: reopened, it gives the same normalized
// table, fits and overlaps, and saved again the same file.
TEST_F(BatchTool, ASessionLeavesOutWhatItDerivesAndReopensToTheSameNumbers) {
    const std::string data = "--data '" + kExamples + "stress_context.txt' --subject Speaker --vowel Vowel" +
                             " --f1 F1 --f2 F2 --phrase-duration PhraseDuration --group i=Vowel:i" +
                             " --group 'e=Vowel:e,a' --group u=Vowel:u";
    const std::pair<const char*, const char*> cases[] = {
        {"zscore", " --duration Duration --normalize-f1 zscore --normalize-f2 zscore --normalize-duration phrase"},
        {"logs", " --duration Duration --normalize-f1 nearey1 --normalize-f2 nearey2 --normalize-duration zscore"},
        {"extremes", " --duration Duration --normalize-f1 extremes --extremes-f1 i,a --normalize-f2 watt"
                     " --corners i,a --normalize-duration none"},
        {"2d", " --duration none --normalize-f1 bark --normalize-f2 none"}};
    const auto overlap = [](const std::string& n) {
        return std::string(n == "2d" ? " --overlap 2d" : " --overlap both") + " --resolution 8";
    };
    for (const auto& [name, method] : cases) {
        SCOPED_TRACE(name);
        const std::string n = name;
        const auto outputs = [&](const std::string& tag) {
            return " --export-normalized " + path(tag + ".txt") + " --fit " + path(tag + ".fit") + " --csv " +
                   path(tag + ".csv") + " --log " + path(tag + ".log") + " --save-session " + path(tag + ".tarvik");
        };
        ASSERT_EQ(run(data + method + overlap(n) + outputs(n)).status, 0);
        ASSERT_EQ(run("--session " + path(n + ".tarvik") + overlap(n) + outputs(n + "2")).status, 0);
        for (const char* output : {".txt", ".fit", ".csv"})
            EXPECT_EQ(file_contents(dir / (n + output)), file_contents(dir / (n + "2" + output))) << output;
        const std::string saved = file_contents(dir / (n + ".tarvik"));
        for (const char* left : {R"("dataNormalizedColumn":"derived")", R"("vowelTargets":{"derived":true)",
                                 R"("data":"derived")", R"("star":"derived")", R"("ellps2D":"derived")"})
            EXPECT_NE(saved.find(left), std::string::npos) << left;
        EXPECT_EQ(saved.find(R"("ellps3D":"derived")") != std::string::npos, n != "2d");
        EXPECT_EQ(saved.find(R"("logs":["F1","F2"])") != std::string::npos, n == "logs");
    }
}

// Each output stands on its own: one that cannot be written is named with its reason and the others are
// still written; "-" is standard output; a link is followed; a FIFO that nobody reads fails at once.
TEST_F(BatchTool, EachOutputIsWrittenOnItsOwnAndAFailedOneIsNamedWithItsReason) {
    std::filesystem::create_directory(dir.path() / "real");
    std::filesystem::create_symlink("real/fit.csv", dir.path() / "fit.csv");
    ASSERT_EQ(mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
    const Outcome r = run(kPlotVowelsStudy + " --overlap 2d --csv - --json " + path("missing/o.json") +
                          " --fit " + path("fit.csv") + " --export-normalized " + path("pipe") + " --log " +
                          path("log.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.err),
              (std::vector<std::string>{"tarvik3d-batch: cannot write " + (dir / "pipe") +
                                            ": no program is reading from it",
                                        "tarvik3d-batch: cannot write " + (dir / "missing/o.json") +
                                            ": No such file or directory"}));
    EXPECT_EQ(r.out.rfind("dimension,index_a,index_b,", 0), 0u) << r.out;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "fit.csv"));
    EXPECT_EQ(lines_of(file_contents(dir / "real/fit.csv")).size(), 4u);
    EXPECT_NE(file_contents(dir / "log.txt").find("2D VOWEL OVERLAP"), std::string::npos);
}

// A session saved before fits followed the data computes its overlaps as it did then; --orientation line
// fits its groups along their lines first.
TEST_F(BatchTool, ASessionOfTheFirstFormatKeepsItsMirroredFitsUnlessToldOtherwise) {
    const std::string session = std::string("--session '") + TARVIK_TEST_DATA_DIR +
                                "/session_format1.tarvik' --overlap both --resolution 10 --csv ";
    ASSERT_EQ(run(session + path("kept.csv")).status, 0);
    EXPECT_EQ(file_contents(dir / "kept.csv"),
              "dimension,index_a,index_b,group_a,group_b,value,e1_fraction,e2_fraction,e1_count,e2_count,"
              "both_count\n"
              "2D,1,2,I,A,0,0,0,7,3,0\n"
              "2D,1,3,I,E,0.20689655172413793,0.14999999999999999,0.20689655172413793,40,29,6\n"
              "2D,2,3,A,E,0,0,0,5,8,0\n"
              "3D,1,2,I,A,0,0,0,16,23,0\n"
              "3D,1,3,I,E,0.071942446043165464,0.04975124378109453,0.071942446043165464,201,139,10\n"
              "3D,2,3,A,E,0,0,0,34,20,0\n");
    const Outcome line = run(session + path("line.csv") + " --orientation line --log " + path("log.txt"));
    ASSERT_EQ(line.status, 0) << line.err;
    EXPECT_NE(file_contents(dir / "line.csv"), file_contents(dir / "kept.csv"));
    EXPECT_NE(file_contents(dir / "log.txt").find("Fit axes: along each group's least-squares lines."),
              std::string::npos);
}

// A pair whose estimate fails (a group of a session without its ellipsoid) is a row of NaN, never the
// value the session held; the reason is on standard error and the exit status is 1.
TEST_F(BatchTool, AFailedPairIsARowOfNaNAndTheRunFails) {
    auto doc = nlohmann::json::parse(file_contents(TARVIK_TEST_DATA_DIR "/session_format1.tarvik"));
    doc["record"]["v"][1]["ellps3D"] = nullptr;
    write_contents(dir / "broken.tarvik", doc.dump());
    const Outcome r = run("--session " + path("broken.tarvik") + " --overlap 3d --resolution 10 --csv " +
                          path("out.csv") + " --log " + path("log.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Group <A> has no fitted ellipsoid to measure its overlap with."), std::string::npos);
    EXPECT_EQ(lines_of(r.err).back(),
              "tarvik3d-batch: the 3D overlap of 2 pairs could not be calculated; their rows hold NaN.");
    const auto rows = lines_of(file_contents(dir / "out.csv"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], "3D,1,2,I,A,NaN,NaN,NaN,NaN,NaN,NaN");
    EXPECT_EQ(rows[2].rfind("3D,1,3,I,E,0.071942446043165464,", 0), 0u);
    EXPECT_EQ(rows[3], "3D,2,3,A,E,NaN,NaN,NaN,NaN,NaN,NaN");
    EXPECT_NE(file_contents(dir / "log.txt").find("is: NaN (it could not be calculated)"), std::string::npos);
}

// The study of the README's example: stressed and unstressed i against e.
const std::string kStressStudy =
    "--data '" + kExamples + "stress_context.txt' --subject Speaker --vowel Vowel --f1 F1 --f2 F2" +
    " --duration Duration --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore" +
    " --normalize-duration phrase --group 'i-stressed=Vowel:i;Stress:stressed'" +
    " --group 'i-unstressed=Vowel:i;Stress:unstressed' --group 'e=Vowel:e'";

TEST_F(BatchTool, TheWorkedExampleOfTheReadme) {
    const Outcome r = run(kStressStudy + " --overlap both --csv " + path("overlap.csv") + " --json " +
                          path("overlap.json") + " --fit " + path("fit.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = file_contents(dir / "overlap.csv");
    EXPECT_EQ(csv, "dimension,index_a,index_b,group_a,group_b,value,e1_fraction,e2_fraction,e1_count,"
                   "e2_count,both_count\n"
                   "2D,1,2,i-stressed,i-unstressed,0.41258741258741261,0.32065217391304346,"
                   "0.41258741258741261,184,143,59\n"
                   "2D,1,3,i-stressed,e,0,0,0,108,115,0\n"
                   "2D,2,3,i-unstressed,e,0.38461538461538464,0.38461538461538464,0.28301886792452829,156,"
                   "212,60\n"
                   "3D,1,2,i-stressed,i-unstressed,0.34514637904468415,0.18137651821862349,0.34514637904468415,"
                   "2470,1298,448\n"
                   "3D,1,3,i-stressed,e,0,0,0,1447,1259,0\n"
                   "3D,2,3,i-unstressed,e,0.2389261744966443,0.2389261744966443,0.14614121510673234,1490,"
                   "2436,356\n");

    // The JSON holds the same pairs, each cell under its column's name.
    const auto doc = nlohmann::json::parse(file_contents(dir / "overlap.json"));
    EXPECT_EQ(doc.at("format"), "tarvik3d-overlap");
    EXPECT_EQ(doc.at("version"), 1);
    const auto rows = lines_of(csv);
    const auto header = cells_of(rows[0], ',');
    ASSERT_EQ(doc.at("pairs").size(), rows.size() - 1);
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const auto cells = cells_of(rows[k], ',');
        for (std::size_t c = 0; c < header.size(); ++c) {
            const bool text = c == 0 || c == 3 || c == 4; // dimension, group_a, group_b
            EXPECT_EQ(doc.at("pairs")[k - 1].at(header[c]),
                      text ? nlohmann::json(cells[c]) : nlohmann::json(std::stod(cells[c])))
                << header[c];
        }
    }

    const auto fits = lines_of(file_contents(dir / "fit.csv"));
    ASSERT_EQ(fits.size(), 4u);
    EXPECT_EQ(fits[0], "index,name,tokens,avg_f2,avg_f1,avg_duration,theta,phi,A,B,C,avg2D_f2,avg2D_f1,"
                       "theta2D,A2D,B2D");
    EXPECT_EQ(fits[3], "3,e,48,0.91448691867562859,-0.17613986242161772,0.011672926297207425,"
                       "0.049707488952911431,0.0016026701291279564,0.56477443095762081,0.54302286673590205,"
                       "0.0028550532846047623,0.91448691867562859,-0.17613986242161772,0.049707488952911431,"
                       "0.56477370561312223,0.54302286673590205");
}

// --measures adds its columns after the overlap's; the Euclidean distance is that of the fitted means.
TEST_F(BatchTool, MeasuresFollowTheOverlapColumns) {
    ASSERT_EQ(run(kStressStudy + " --overlap 2d --measures bhattacharyya,euclidean --csv " + path("m.csv") +
                  " --fit " + path("fit.csv"))
                  .status,
              0);
    const auto rows = lines_of(file_contents(dir / "m.csv"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "dimension,index_a,index_b,group_a,group_b,value,e1_fraction,e2_fraction,e1_count,e2_count,"
                       "both_count,bhattacharyya_distance,bhattacharyya_affinity,euclidean");
    EXPECT_EQ(rows[1].rfind("2D,1,2,i-stressed,i-unstressed,0.41258741258741261,0.32065217391304346,"
                            "0.41258741258741261,184,143,59,", 0), 0u);
    const auto fits = lines_of(file_contents(dir / "fit.csv"));
    const auto mean = [&](int g) {
        const auto c = cells_of(fits[static_cast<std::size_t>(g)], ',');
        return std::pair{std::stod(c[11]), std::stod(c[12])};
    };
    const auto cells = cells_of(rows[2], ','); // groups 1 and 3
    const auto [a, b] = std::pair{mean(1), mean(3)};
    EXPECT_NEAR(std::stod(cells[13]), std::hypot(a.first - b.first, a.second - b.second), 1e-12);
    EXPECT_NEAR(std::stod(cells[12]), std::exp(-std::stod(cells[11])), 1e-15);
}

// The window's Results table after "Calculate all" in 2D and 3D is what the tool writes with every
// measure for the same study, byte for byte: the same rows, grid results and measures.
TEST_F(BatchTool, TheWindowsResultsTableIsTheCsvOfTheSameStudy) {
    Session window;
    window.start();
    run_steps_1_to_3(window, {.file = "plot_vowels.txt", .overlaps = true});
    ASSERT_EQ(window.scripted.results.shown.size(), 2u);
    std::string groups;
    for (const tarvik::VowelGroup& g : window.record().v)
        groups += " --group " + g.name + "=Vowel:" + g.constraints.at("Vowel").at(0);
    ASSERT_EQ(run(kPlotVowels + " --normalize-f1 none --normalize-f2 none --normalize-duration none" + groups +
                  " --overlap both --measures all --csv " + path("all.csv"))
                  .status,
              0);
    EXPECT_EQ(tarvik::csv_text(window.scripted.results.shown.back()), file_contents(dir / "all.csv"));
}

// --resolution M,N,S counts intervals along F2, F1 and duration; the saved record names them m, n and s.
TEST_F(BatchTool, OnePairInTheOrderGivenOnItsOwnGrid) {
    const std::string args = " --overlap 3d --pair 3,1 --resolution 4,20,1 --csv " + path("pair.csv");
    ASSERT_EQ(run(kStressStudy + args + " --save-session " + path("pair")).status, 0);
    const auto rows = lines_of(file_contents(dir / "pair.csv"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].rfind("3D,3,1,e,i-stressed,", 0), 0u) << rows[1];
    // 5 x 21 x 2 grid points, where the default grid of 20 intervals counts 1373 and 1355 inside the shapes
    EXPECT_LE(std::stod(cells_of(rows[1], ',')[8]), 210);
    EXPECT_LE(std::stod(cells_of(rows[1], ',')[9]), 210);
    // The fractions and counts follow the groups named: e1 and the first count are those of group 3 (e).
    std::vector<std::string> both[2];
    for (const char* pair : {"2,1", "1,2"}) {
        ASSERT_EQ(run(kStressStudy + " --overlap 3d --pair " + pair + " --csv " + path("p.csv")).status, 0);
        both[pair[0] == '1'] = cells_of(lines_of(file_contents(dir / "p.csv"))[1], ',');
    }
    const auto& c = both[0];
    EXPECT_EQ((std::vector{c[3], c[6], c[7], c[8], c[9]}), (std::vector{both[1][4], both[1][7], both[1][6], both[1][9], both[1][8]}));
    EXPECT_DOUBLE_EQ(std::stod(c[6]), std::stod(c[10]) / std::stod(c[8]));
    const auto saved = nlohmann::json::parse(file_contents(dir / "pair.tarvik"));
    EXPECT_EQ(saved.at("record").at("overlapResolution"), (nlohmann::json{{"n", 20}, {"m", 4}, {"s", 1}}));
}

TEST_F(BatchTool, TheNormalizedTableHoldsEveryTokenAsTheNumberItReadsBackAs) {
    const Outcome r =
        run("--data '" + kExamples + "hillenbrand_missing.txt' --subject Speaker --vowel Vowel" +
            " --f1 F1 --f2 F2 --duration Duration --phrase-duration none --normalize-f1 zscore" +
            " --normalize-f2 zscore --normalize-duration zscore --export-normalized " + path("table.txt"));
    ASSERT_EQ(r.status, 0) << r.err;

    const std::string table = file_contents(dir / "table.txt");
    const auto lines = lines_of(table);
    ASSERT_EQ(lines.size(), 1669u);
    EXPECT_EQ(lines[0], "Speaker\tVowel\tF1\tF2\tDuration\tGroup");
    EXPECT_NE(table.find("\tNaN\t"), std::string::npos); // the F2 of speakers with a NULL F2
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = cells_of(lines[i], '\t');
        ASSERT_EQ(cells.size(), 6u) << lines[i];
        for (std::size_t c = 2; c <= 4; ++c) {
            // Printed the way "%.17g" prints the value it reads back as (fewer digits would not read back).
            char canonical[64];
            std::snprintf(canonical, sizeof canonical, "%.17g", std::strtod(cells[c].c_str(), nullptr));
            ASSERT_TRUE(cells[c] == canonical || cells[c] == "NaN") << lines[i];
        }
    }
}

// Twelve subjects whose vowel a has a duration that is not a number: step 1 warns of the column, the
// duration z-score of each subject. Every line goes to standard error, also those the dialog sums up;
// --strict makes the exit status 3 once the outputs are written.
TEST_F(BatchTool, WarningsArePrintedLineByLineAndStrictExitsWithThreeAfterTheOutputs) {
    std::string data = "Speaker\tVowel\tF1\tF2\tDur\n";
    for (int k = 1; k <= 12; ++k)
        data +=
            "s" + std::to_string(k) + "\ti\t300\t2300\t100\ns" + std::to_string(k) + "\ta\t700\t1200\tx\n";
    write_contents(dir / "data.txt", data);
    const std::string args =
        "--data " + path("data.txt") + " --subject Speaker --vowel Vowel --f1 F1 --f2 F2" +
        " --duration Dur --phrase-duration none --normalize-f1 none --normalize-f2 none" +
        " --normalize-duration zscore --export-normalized " + path("table.txt") + " --log " + path("log.txt");
    for (const bool strict : {false, true}) {
        std::filesystem::remove(dir / "table.txt");
        const Outcome r = run(args + (strict ? " --strict" : ""));
        EXPECT_EQ(r.status, strict ? 3 : 0) << r.err;
        const auto err = lines_of(r.err);
        ASSERT_EQ(err.size(), 13u) << r.err;
        EXPECT_EQ(err[0],
                  "warning: Values that are not numbers: The column \"Dur\" chosen for Duration holds 12 "
                  "values that are not numbers, in rows 2 (\"x\"), 4 (\"x\"), 6 (\"x\"), 8 (\"x\"), "
                  "10 (\"x\") and 7 more. They are read as missing.");
        EXPECT_EQ(err[12],
                  "warning: Cannot proceed.: You have an invalid durational value for the subject 's12' "
                  "for the vowel target 'a': You should correct your data file and start again.");
        EXPECT_EQ(std::ranges::count_if(err, [](const auto& l) { return l.starts_with("warning: "); }), 13);
        EXPECT_NE(file_contents(dir / "log.txt").find("the subject 's12'"), std::string::npos);
        EXPECT_EQ(lines_of(file_contents(dir / "table.txt")).size(), 25u);
    }
}

// Category columns whose first values are un-stressed, a-b and x.y stay categories: the file groups
// exactly as the same rows starting with plain values do.
TEST_F(BatchTool, CategoriesStartingWithHyphensOrDotsGroupAsAnyOthers) {
    std::vector<std::string> rows;
    for (int k = 0; k < 16; ++k)
        rows.push_back(std::string("s") + "12"[k % 2] + "\t" + (k % 4 < 2 ? "i" : "e") + "\t" +
                       std::to_string(300 + 7 * k) + "\t" + std::to_string(2300 - 31 * k % 200) + "\t" +
                       std::to_string(90 + k) + "\t" + (k < 8 ? "un-stressed\ta-b\tx.y" : "stressed\tcv\tz"));
    const std::string header = "Speaker\tVowel\tF1\tF2\tDur\tStress\tContext\tTag\n";
    std::string fits[2];
    for (int reversed = 0; reversed < 2; ++reversed) {
        std::string data = header;
        for (int k = 0; k < 16; ++k)
            data += rows[reversed ? 15 - k : k] + "\n";
        write_contents(dir / "data.txt", data);
        const Outcome r = run("--data " + path("data.txt") +
                              " --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Dur"
                              " --phrase-duration none --normalize-f1 none --normalize-f2 none --normalize-duration none"
                              " --group 'u=Vowel:i;Stress:un-stressed' --group 'a=Context:a-b;Vowel:e'"
                              " --group 'x=Tag:x.y,z;Stress:stressed' --fit " + path("fit.csv"));
        ASSERT_EQ(r.status, 0) << r.err;
        for (const auto& line : lines_of(file_contents(dir / "fit.csv")))
            fits[reversed] += cells_of(line, ',')[2] + " "; // the groups' token counts
    }
    EXPECT_EQ(fits[0], "tokens 4 4 8 ");
    EXPECT_EQ(fits[1], fits[0]);
}

class BatchPlots : public BatchTool {
  protected:
    void SetUp() override {
        BatchTool::SetUp();
#ifndef TARVIK_BATCH_PLOTS
        GTEST_SKIP() << "built without Qt: the batch tool cannot draw plots";
#endif
    }
};

TEST_F(BatchPlots, EveryKindIsWrittenInTheFormatItsNameAsksFor) {
    // 3D pictures need OpenGL, which a virtual display gives where there is no real one.
    if (!std::getenv("DISPLAY") && std::system("command -v xvfb-run >/dev/null 2>&1") == 0)
        launcher = "xvfb-run -a -s '-screen 0 1280x1024x24' ";
    const Outcome r = run(
        kPlotVowelsStudy + " --overlap both --plot original --plot-out " + path("original.pdf") +
        " --plot normalized --plot-out " + path("normalized.svg") +
        " --plot shapes --plot-groups 1,3 --plot-out " + path("shapes.svg") + " --plot volumes --plot-out " +
        path("volumes.svg") + " --plot overlap --plot-groups 3,1 --plot-out " + path("overlap.svg") +
        " --plot normalized --plot-dim 3d --plot-out " + path("normalized3d.png") +
        " --plot volumes --plot-dim 3d --plot-groups 2 --plot-out " + path("volumes3d.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(file_contents(dir / "original.pdf").substr(0, 5), "%PDF-");
    // A vector picture holds its title as text.
    const std::pair<const char*, const char*> titles[] = {
        {"normalized.svg", "Normalized Data:  2D graph title"},
        {"shapes.svg", "Best Fit Ellipse: (Second Rotation) 2D graph title"},
        {"volumes.svg", "2D Spheres: 2D graph title"},
        {"overlap.svg", "Normalized data 2D overlap:"}};
    for (const auto& [svg, title] : titles) {
        EXPECT_EQ(file_contents(dir / svg).rfind("<?xml", 0), 0u) << svg;
        EXPECT_NE(file_contents(dir / svg).find(title), std::string::npos) << svg;
    }
    for (const char* png : {"normalized3d.png", "volumes3d.png"})
        EXPECT_EQ(file_contents(dir / png).substr(0, 8), "\x89PNG\r\n\x1a\n") << png;
}

// Plotting sets the process locale from the environment; one with decimal commas leaves every number
// of the tables and the log in its C form.
TEST_F(BatchPlots, NumbersKeepTheirDecimalPointUnderADecimalCommaLocale) {
    const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
    if (!german)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/setup-debian.sh generates it)";
    freelocale(german);
    launcher = "LC_ALL=de_DE.UTF-8 ";
    const Outcome r = run(kStressStudy + " --overlap 2d --csv " + path("overlap.csv") + " --fit " + path("fit.csv") +
                          " --export-normalized " + path("table.txt") + " --log " + path("log.txt") +
                          " --plot original --plot-out " + path("original.svg"));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines_of(file_contents(dir / "overlap.csv"));
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows)
        EXPECT_EQ(cells_of(row, ',').size(), 11u) << row;
    EXPECT_EQ(cells_of(rows[1], ',')[5], "0.41258741258741261");
    EXPECT_EQ(cells_of(lines_of(file_contents(dir / "fit.csv"))[3], ',').size(), 16u);
    EXPECT_EQ(file_contents(dir / "table.txt").find(','), std::string::npos);
    EXPECT_NE(file_contents(dir / "log.txt").find("Group <i-unstressed> is: 0.412587\n"), std::string::npos);
}

TEST_F(BatchPlots, RefusalsExitWithOneAndTheMessageAUserWouldSee) {
    const std::string out = " --plot-out " + path("x.png");
    expect_refusals({{kPlotVowelsStudy + " --overlap 2d --plot overlap --plot-groups 2,2" + out,
                      "Cannot plot overlap: You cannot plot the overlap of a group with itself."},
                     {kPlotVowelsStudy + " --plot volumes" + out,
                      "Function \"plot_2D_spheres\": Let Quillon know about this error:"},
                     {kPlotVowelsStudy + " --plot original --plot-groups 4" + out,
                      "Cannot plot: There are only 3 groups; the plot names group 4."},
                     {kPlotVowels + " --plot original" + out, "Cannot plot: Plots need fitted vowel groups"},
                     {kPlotVowelsStudy + " --plot original --plot-dim 3d --plot-out " + path("x.svg"),
                      "Cannot write the plot " + (dir / "x.svg") + ": "}});
}

// Within each subject: one row per subject and pair, then the pair's summaries; Hillenbrand's one token
// per speaker and vowel gives no fit to any subject, so every value is NaN and each pair and dimension
// names its subjects in one warning.
TEST_F(BatchTool, PerSubjectRowsAndSummariesAndTheSubjectsWithTooFewTokens) {
    const Outcome hb = run("--data '" + kExamples + "hillenbrand.txt' --subject Speaker --vowel Vowel --f1 F1" +
                           " --f2 F2 --duration Duration --phrase-duration none --normalize-f1 zscore" +
                           " --normalize-f2 zscore --normalize-duration zscore --group ae=Vowel:ae --group" +
                           " ah=Vowel:ah --group iy=Vowel:iy --overlap both --per-subject --csv " + path("hb.csv"));
    EXPECT_EQ(hb.status, 0) << hb.err;
    const auto warnings = lines_of(hb.err);
    ASSERT_EQ(warnings.size(), 6u); // 3 pairs x 2 dimensions
    EXPECT_EQ(warnings[1], "warning: Subjects with too few tokens: Pair ae-ah (3D): 139 subjects have too few "
                           "tokens in a group for a fit, and NaN: m01, m02, m03, m04, m06, m07, m08, m09, m10, "
                           "m11 and 129 more.");
    const auto rows = lines_of(file_contents(dir / "hb.csv"));
    ASSERT_EQ(rows.size(), 1 + 6 * (139 + 4u));
    EXPECT_EQ(rows[140], "ALL_MEAN,2D,1,2,ae,ah,NaN,NaN,NaN,NaN,NaN,NaN");
    EXPECT_EQ(rows[143], "ALL_N,2D,1,2,ae,ah,0,0,0,0,0,0");

    const Outcome sc = run(kStressStudy + " --overlap 2d --pair 2,1 --per-subject --measures euclidean --csv " +
                           path("sc.csv") + " --json " + path("sc.json") + " --strip-plot " + path("strip.svg"));
    ASSERT_EQ(sc.status, 0) << sc.err;
    const auto csv = lines_of(file_contents(dir / "sc.csv"));
    ASSERT_EQ(csv.size(), 1 + 6 + 4u);
    EXPECT_EQ(csv[0].rfind("subject,dimension,index_a,index_b,group_a,group_b,value,", 0), 0u);
    EXPECT_EQ(csv[0].substr(csv[0].size() - 10), ",euclidean");
    EXPECT_EQ(csv[10].rfind("ALL_N,2D,1,2,i-stressed,i-unstressed,6,6,6,6,6,6,6", 0), 0u) << csv[10];
    const nlohmann::json doc = nlohmann::json::parse(file_contents(dir / "sc.json"));
    EXPECT_EQ(doc.at("format"), "tarvik3d-overlap-per-subject");
    ASSERT_EQ(doc.at("pairs").size(), 1u);
    EXPECT_EQ(doc["pairs"][0]["subjects"].size(), 6u);
    EXPECT_EQ(doc["pairs"][0]["summary"][2]["subject"], "ALL_MEDIAN");
    EXPECT_NE(file_contents(dir / "strip.svg").find("Overlap within subjects (2D)"), std::string::npos);

    // Bootstrap intervals: the same seed gives the same file on any number of threads.
    std::string boot[2];
    for (const int threads : {1, 4}) {
        const Outcome r = run(kStressStudy + " --overlap 3d --bootstrap 40 --seed 3 --confidence 0.9 --resample" +
                              " subjects --measures mahalanobis --csv - --log " + path("boot.log") +
                              " --threads " + std::to_string(threads));
        ASSERT_EQ(r.status, 0) << r.err;
        boot[threads / 4] = r.out;
    }
    EXPECT_EQ(boot[0], boot[1]);
    EXPECT_NE(boot[0].find(",mahalanobis,ci_low,ci_high,bootstrap_n,mahalanobis_ci_low,mahalanobis_ci_high\n"),
              std::string::npos);
    // Within subjects: intervals per subject and pair, the same on any number of threads, none in the
    // summaries; only tokens can be drawn there.
    for (const int threads : {1, 4}) {
        const Outcome r = run(kStressStudy + " --overlap 2d --pair 1,2 --per-subject --bootstrap 30 --csv - --log " +
                              path("within.log") + " --threads " + std::to_string(threads));
        ASSERT_EQ(r.status, 0) << r.err;
        boot[threads / 4] = r.out;
    }
    EXPECT_EQ(boot[0], boot[1]);
    const auto within = lines_of(boot[0]);
    ASSERT_EQ(within.size(), 1 + 6 + 4u);
    EXPECT_NE(within[0].find(",value,e1_fraction,"), std::string::npos);
    EXPECT_TRUE(within[0].ends_with(",both_count,ci_low,ci_high,bootstrap_n")) << within[0];
    EXPECT_EQ(within[1].find("NaN"), std::string::npos) << within[1];
    EXPECT_NE(within[7].find(",NaN,NaN,NaN"), std::string::npos) << within[7];
    EXPECT_EQ(run(kStressStudy + " --overlap 2d --per-subject --bootstrap 10 --resample subjects").status, 2);
}

} // namespace
