// Plot pictures from the batch tool: every kind drawn by the plot buttons' own path and written as
// PNG, SVG or PDF, and the refusals a user would see in the window.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace tarvik::testing;

// tests/data/plot_vowels.txt: groups i, a, e; i and e overlap, a lies apart.
const std::string kStudy = std::string("--data '") + TARVIK_TEST_DATA_DIR +
                           "/plot_vowels.txt' --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Dur"
                           " --phrase-duration none --normalize-f1 zscore --normalize-f2 zscore"
                           " --normalize-duration zscore --group i=Vowel:i --group a=Vowel:a --group e=Vowel:e";

class BatchPlots : public BatchProcessTest {
  protected:
    void SetUp() override {
        BatchProcessTest::SetUp();
#ifndef TARVIK_BATCH_PLOTS
        GTEST_SKIP() << "built without Qt: the batch tool cannot draw plots";
#endif
        // 3D pictures need OpenGL, which a virtual display gives where there is no real one.
        if (!std::getenv("DISPLAY") && std::system("command -v xvfb-run >/dev/null 2>&1") == 0)
            launcher = "xvfb-run -a -s '-screen 0 1280x1024x24' ";
    }
    std::string out(const std::string& name) const { return "'" + (dir / name).string() + "'"; }
    std::string head_of(const std::string& name, std::size_t n) const {
        return read_file(dir / name).substr(0, n);
    }
};

TEST_F(BatchPlots, EveryKindIsWrittenInTheFormatItsNameAsksFor) {
    const Outcome r = run(kStudy + " --overlap both" +                                   //
                          " --plot original --plot-out " + out("original.png") +          //
                          " --plot normalized --plot-out " + out("normalized.pdf") +      //
                          " --plot shapes --plot-groups 1,3 --plot-out " + out("shapes.svg") + //
                          " --plot volumes --plot-out " + out("volumes.png") +            //
                          " --plot overlap --plot-groups 3,1 --plot-out " + out("overlap.svg") +
                          " --plot normalized --plot-dim 3d --plot-out " + out("normalized3d.png") +
                          " --plot volumes --plot-dim 3d --plot-groups 2 --plot-out " + out("volumes3d.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const char* png : {"original.png", "volumes.png", "normalized3d.png", "volumes3d.png"})
        EXPECT_EQ(head_of(png, 8), "\x89PNG\r\n\x1a\n") << png;
    for (const char* svg : {"shapes.svg", "overlap.svg"})
        EXPECT_NE(read_file(dir / svg).find("<svg"), std::string::npos) << svg;
    EXPECT_EQ(head_of("normalized.pdf", 5), "%PDF-");
}

struct PlotRefusal {
    const char* name;
    std::string args;
    std::string message; // the start of the line on standard error
};

class BatchPlotRefusal : public BatchPlots, public ::testing::WithParamInterface<PlotRefusal> {};

TEST_P(BatchPlotRefusal, ExitsWithOneAndTheMessageAUserWouldSee) {
    const Outcome r = run(GetParam().args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(GetParam().message, 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Plots, BatchPlotRefusal,
    ::testing::Values(
        PlotRefusal{"OverlapOfAllGroups", kStudy + " --overlap 2d --plot overlap --plot-out x.png",
                    "Cannot plot overlap: Overlap plotting is limited currently to two vowel groups."},
        PlotRefusal{"OverlapOfAGroupWithItself",
                    kStudy + " --overlap 2d --plot overlap --plot-groups 2,2 --plot-out x.png",
                    "Cannot plot overlap: You cannot plot the overlap of a group with itself."},
        PlotRefusal{"SpheresBeforeAnyOverlap", kStudy + " --plot volumes --plot-out x.png",
                    "Function \"plot_2D_spheres\": Let Quillon know about this error:"},
        PlotRefusal{"GroupThatDoesNotExist", kStudy + " --plot original --plot-groups 4 --plot-out x.png",
                    "There are only 3 groups; --plot-groups names group 4."},
        PlotRefusal{"BeforeTheGroupsAreFitted",
                    std::string("--data '") + TARVIK_TEST_DATA_DIR + "/plot_vowels.txt' --plot original --plot-out x.png",
                    "Plots need fitted vowel groups"},
        PlotRefusal{"ThreeDimensionalVectorPicture",
                    kStudy + " --plot original --plot-dim 3d --plot-out x.svg", "Cannot write the plot x.svg: "}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
