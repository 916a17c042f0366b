// Plot pictures from the batch tool: every kind drawn by the plot buttons' own path and written as
// PNG, SVG or PDF, and the refusals a user would see in the window.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace tarvik::testing;

class BatchPlots : public BatchProcessTest {
  protected:
    void SetUp() override {
        BatchProcessTest::SetUp();
#ifndef TARVIK_BATCH_PLOTS
        GTEST_SKIP() << "built without Qt: the batch tool cannot draw plots";
#endif
    }
    std::string head_of(const std::string& name, std::size_t n) const {
        return read_file(dir / name).substr(0, n);
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
    EXPECT_EQ(head_of("original.pdf", 5), "%PDF-");
    // A vector picture holds its title as text.
    const std::pair<const char*, const char*> titles[] = {
        {"normalized.svg", "Normalized Data:  2D graph title"},
        {"shapes.svg", "Best Fit Ellipse: (Second Rotation) 2D graph title"},
        {"volumes.svg", "2D Spheres: 2D graph title"},
        {"overlap.svg", "Normalized data 2D overlap:"}};
    for (const auto& [svg, title] : titles) {
        EXPECT_EQ(head_of(svg, 5), "<?xml") << svg;
        EXPECT_NE(read_file(dir / svg).find(title), std::string::npos) << svg;
    }
    for (const char* png : {"normalized3d.png", "volumes3d.png"})
        EXPECT_EQ(head_of(png, 8), "\x89PNG\r\n\x1a\n") << png;
}

TEST_F(BatchPlots, RefusalsExitWithOneAndTheMessageAUserWouldSee) {
    const std::string out = " --plot-out " + path("x.png");
    const std::pair<std::string, std::string> cases[] = {
        {kPlotVowelsStudy + " --overlap 2d --plot overlap --plot-groups 2,2" + out,
         "Cannot plot overlap: You cannot plot the overlap of a group with itself."},
        {kPlotVowelsStudy + " --plot volumes" + out,
         "Function \"plot_2D_spheres\": Let Quillon know about this error:"},
        {kPlotVowelsStudy + " --plot original --plot-groups 4" + out,
         "There are only 3 groups; --plot-groups names group 4."},
        {kPlotVowels + " --plot original" + out, "Plots need fitted vowel groups"},
        {kPlotVowelsStudy + " --plot original --plot-dim 3d --plot-out " + path("x.svg"),
         "Cannot write the plot " + (dir / "x.svg").string() + ": "}};
    for (const auto& [args, message] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
    }
}

} // namespace
