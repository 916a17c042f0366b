#include "normalize/subject_normalization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace tarvik {
namespace {

// Nearey's shared log-mean, Watt and Fabricius, and Bark on one subject (vowel targets i, a, u), as NumPy
// computes them (tests/data/reference/normalize.py).
TEST(LiteratureMethods, AgreeWithAnIndependentComputation) {
    const VowelValues f1 = {{280, 300, 320}, {700, 760}, {330, 310, 350, 300}};
    const VowelValues f2 = {{2300, 2250, 2400}, {1250, 1300}, {800, 900, 850, 870}};
    const LogShift n1 = spectral_log_mean_shared(f1, f1, f2);
    const LogShift n2 = spectral_log_mean_shared(f2, f1, f2);
    EXPECT_NEAR(n1.G, 2.8748166701276094, 1e-14);
    EXPECT_NEAR(n1.normalized[1][1], 0.005996922153181927, 1e-14);
    EXPECT_NEAR(n2.normalized[2][0], 0.02827331686433432, 1e-14);

    const Scaled w1 = spectral_watt_fabricius(f1, f1[0], f1[1], f1[0]);
    const Scaled w2 = spectral_watt_fabricius(f2, f2[0], f2[1], f1[0]);
    EXPECT_NEAR(w1.S, 443.3333333333333, 1e-12);
    EXPECT_NEAR(w2.S, 1297.2222222222222, 1e-12);
    EXPECT_NEAR(w1.normalized[2][2], 0.7894736842105263, 1e-15);
    EXPECT_NEAR(w2.normalized[1][0], 0.9635974304068523, 1e-15);

    // Below 2 Bark, between, and above 20.1 Bark.
    const std::pair<double, double> barks[] = {{100, 0.9557378640776699},  {150, 1.4695355450236967},
                                               {500, 4.9191869918699185},  {2300, 13.944882629107981},
                                               {7000, 20.484681249999998}, {9000, 21.79032335766423}};
    for (const auto& [hz, z] : barks)
        EXPECT_NEAR(bark(hz), z, 1e-13) << hz;
    EXPECT_TRUE(std::isnan(spectral_bark({{std::nan("")}})[0][0]));
}

} // namespace
} // namespace tarvik
