#pragma once

#include "app/runtime.h"

#include <optional>
#include <string>
#include <utility>

// The normalization methods of step 2. Each works subject by subject on handles.dataSubject, writes its
// results into the subject records, stores the record with the main window when it completes, and
// returns the record with its status: 1 done, 0 failed or refused, -1 cancelled by the user.
// `category` names the token field to normalize: "F1", "F2" (or "Duration" for the copy).
namespace tarvik {

// The values are taken as already normalized: normalizedTargets.(v).(category) becomes a copy.
HandlesAndStatus normalize_do_not_normalize(Runtime& rt, Handles handles, const std::string& category);

// (x - M) / S with M and S the mean and sample spread of the subject's vowel means.
HandlesAndStatus normalize_spectral_zscore(Runtime& rt, Handles handles, const std::string& category);

// log10(x) - G with G the mean of the subject's mean log values per vowel; also keeps the logs.
HandlesAndStatus normalize_spectral_logarithmic(Runtime& rt, Handles handles, const std::string& category);

// Asks for two extreme vowel targets common to all subjects, then log10(x) - G with G the mean of the
// two targets' mean log values; keeps the logs and G. Cancelling either dialog returns -1.
// Nearey's shared log-mean (both formants' G, averaged), Watt-Fabricius with the two corner targets, and
// Bark (no speaker normalization), for `category` (F1 or F2).
HandlesAndStatus normalize_spectral_log_mean_shared(Runtime& rt, Handles handles, const std::string& category);
HandlesAndStatus normalize_spectral_watt_fabricius(Runtime& rt, Handles handles, const std::string& category,
                                                   const std::pair<std::string, std::string>& corners);
HandlesAndStatus normalize_spectral_bark(Runtime& rt, Handles handles, const std::string& category);

// The Watt-Fabricius corners: the given ones, or those the user names in one dialog; nothing (after the
// message saying why) when cancelled or when not every subject has them.
std::optional<std::pair<std::string, std::string>> watt_corners(Runtime& rt, const Handles& h,
                                                                const std::optional<std::pair<std::string, std::string>>& given);

// `extremes`: the two vowel targets; without them the user is asked. Targets that not every subject has are
// refused with the message the dialog gives, and the method stops as if cancelled (status -1).
HandlesAndStatus normalize_spectral_known_extremes(Runtime& rt, Handles handles, const std::string& category,
                                                   const std::optional<std::pair<std::string, std::string>>& extremes = {});

// (d - D) / S with D the mean of the vowel means and S the sample spread of all the subject's tokens.
HandlesAndStatus normalize_duration_zscore(Runtime& rt, Handles handles);

// (d / p) x (D / P) with D and P the means of the vowel means of durations and phrase durations.
// Refused (status 0) when no phrase-duration column was mapped.
HandlesAndStatus normalize_duration_phrase_duration(Runtime& rt, Handles handles);

} // namespace tarvik
