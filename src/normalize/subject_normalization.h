#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The normalizations of one subject, over plain lists. Each function sees one subject's vowel targets,
// in the subject's own order, each as the list of its token values in data-row order. The results keep
// that shape, so entry i of vowel v still belongs to the same data row.
//
// Missing measurements are NaN and stay NaN: a NaN anywhere in a list makes its mean NaN, and from a
// vowel mean it reaches every value of the subject that is scaled or shifted by it.
namespace tarvik {

using VowelValues = std::vector<std::vector<double>>;

// Arithmetic mean; NaN for an empty list.
double mean_of(const std::vector<double>& values);

// Sample standard deviation (divisor N - 1). A single value has spread 0 (NaN when that value is not
// finite), as the numeric runtimes compute it; an empty list gives NaN.
double sample_std(const std::vector<double>& values);

// The mean of each vowel target's tokens.
std::vector<double> vowel_means(const VowelValues& values);

// Base-10 logarithm of every value: 0 gives -Inf, a negative value NaN.
std::vector<double> log10_values(const std::vector<double>& values);

struct SpectralZscore {
    VowelValues normalized; // (x - M) / S
    double M = 0;           // mean of the vowel means: every vowel target weighs the same
    double S = 0;           // sample spread of the vowel means, not of the tokens
};
SpectralZscore spectral_zscore(const VowelValues& x);

struct LogShift {
    VowelValues logs;       // log10 of every token
    VowelValues normalized; // log minus G, no scaling
    double G = 0;           // the subject's reference log value
};

// G is the mean of the vowel targets' mean log values.
LogShift spectral_logarithmic(const VowelValues& x);

// G is the mean of the mean log values of the two extreme targets (which may be the same target).
LogShift spectral_known_extremes(const VowelValues& x, const std::vector<double>& extremeA,
                                 const std::vector<double>& extremeB);

// Nearey's shared log-mean: the logs of x minus G = (G_F1 + G_F2) / 2, where G_F1 and G_F2 are the G of
// the logarithmic method for the subject's F1 and F2.
LogShift spectral_log_mean_shared(const VowelValues& x, const VowelValues& f1, const VowelValues& f2);

struct Scaled {
    VowelValues normalized; // x / S
    double S = 0;
};
// Watt and Fabricius: S = (F(i) + F(a) + F(u')) / 3 with F(i), F(a) the means of x over the two corner
// targets and F(u') the mean F1 of corner i (u' has F1 = F2 = F1 of i).
Scaled spectral_watt_fabricius(const VowelValues& x, const std::vector<double>& cornerI,
                               const std::vector<double>& cornerA, const std::vector<double>& f1OfI);

// Hertz to Bark (Traunmueller 1990, with his corrections below 2 and above 20.1 Bark): no speaker
// normalization.
double bark(double hertz);
VowelValues spectral_bark(const VowelValues& x);

// The vowel targets that every subject has. With one subject, its own list in its own order; with two
// or more, the intersection in ascending character-code order without repeats; none for no subject.
std::vector<std::string> common_targets(const std::vector<std::vector<std::string>>& subjectTargets);

struct DurationZscore {
    VowelValues normalized;    // (d - D) / S
    std::vector<double> means; // per vowel target
    std::vector<bool> invalid; // per vowel target: its mean is NaN
    double D = 0;              // mean of the vowel means
    double S = 0;              // sample spread of all the subject's tokens pooled
};
DurationZscore duration_zscore(const VowelValues& d);

struct PhraseDuration {
    VowelValues normalized;            // (d / p) x (D / P)
    std::vector<double> durationMeans; // Dm per vowel target
    std::vector<double> phraseMeans;   // Pm per vowel target
    std::vector<bool> invalidDuration; // Dm is NaN
    std::vector<bool> invalidPhrase;   // Pm is NaN
    double D = 0;                      // mean of Dm
    double P = 0;                      // mean of Pm
};
// Throws when the phrase durations do not have the shape of the durations.
PhraseDuration duration_phrase_duration(const VowelValues& d, const VowelValues& p);

} // namespace tarvik
