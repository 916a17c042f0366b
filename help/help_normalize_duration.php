TARVIK3D HELP: DURATION NORMALIZATION (TEMPORAL 1)
==================================================

The menu "Temporal 1" chooses how vowel durations, the third axis of the
vowel space, are normalized. It is enabled only when a segment duration
column was chosen in Step 1; without one the analysis is 2D only and this
menu is ignored.

Notation for one subject: it has T vowel categories; vowel v has n tokens
with durations d(v,i) and, if mapped, phrase durations p(v,i).


DO NOT NORMALIZE - ALREADY NORMALIZED
-------------------------------------

The durations are used as they are, in the unit of your file.


APPLY Z-SCORE NORMALIZATION
---------------------------

  D = mean of the subject's vowel means of duration (every vowel weighs
      the same)
  S = standard deviation of all the subject's token durations
      (divisor N - 1, N = number of tokens)
  normalized duration = (d - D) / S

Unlike the spectral z-score, S here is the spread of the tokens, not of the
vowel means. A subject with a single token has S = 0 and gets NaN.

If a vowel's mean duration cannot be computed (a duration cell that is not
a number), "Cannot proceed." names the subject and the vowel; the step still
completes, but all of that subject's normalized durations are NaN. Correct
the data file and start again.


APPLY PHRASE DURATION NORMALIZATION
-----------------------------------

Relates each vowel to the phrase it was spoken in, which removes differences
in speaking rate between and within speakers:

  D = mean of the subject's vowel means of duration
  P = mean of the subject's vowel means of phrase duration
  normalized duration = (d / p) x (D / P)

d / p is the token's share of its phrase; the factor D / P scales it back to
the unit of your durations, so the results stay comparable to raw values.

This method needs a phrase duration column ("Temporal phrase" in Step 1).
Without one, "Option not possible" asks you to go back and choose it. Step 1
cannot be reopened in the same window: open a session saved before Step 1's
"Continue" (File, "Open Session"), or start the program again and reload
the file. Invalid durations or phrase durations are reported with
"Should not proceed" naming the subject and the vowel; that subject's
results are then NaN. A phrase duration of 0 gives an infinite value.
