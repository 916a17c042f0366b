TARVIK3D HELP: NORMALIZATION (STEP 2)
=====================================

Speakers differ in vocal tract size and speaking rate, so their raw formant
values and durations cannot be pooled directly. Step 2 normalizes every
measurement within its own subject before any vowel group is formed: a
subject's F1 values are normalized with statistics of that subject's F1
values only, and likewise for F2 and for durations.


WHAT YOU MUST CHOOSE
--------------------

Under "Options:" there is one menu per measurement:

  Spectral 1   F1 (the column you chose for Spectral 1 in Step 1)
  Spectral 2   F2
  Temporal 1   the segment duration (disabled in a 2D-only analysis)

Each menu must be set to something other than "(please select)", otherwise
"Cannot continue" asks you to choose. If your values are already normalized,
or you want to compare raw values, choose "Do not normalize - Already
normalized". F1 and F2 may use different methods.

Spectral methods (see the "?" beside the Spectral menus for details):

  Do not normalize - Already normalized
  Apply Z-score (Lobanov) normalization
      (x - M) / S, M and S the mean and standard deviation of the
      subject's vowel means (Lobanov 1971)
  Apply Logarithmic (Nearey 1) normalization
      log10(x) - G, G the mean of the subject's vowel means of log10
      values, for each formant on its own (Nearey 1978, formant-intrinsic)
  Apply Known Extremes normalization
      log10(x) - G, G from the two extreme vowels you name
  Apply Log-mean, shared (Nearey 2) normalization
      log10(x) - G with G = (G_F1 + G_F2) / 2: one shift for both formants
      (Nearey 1978, formant-extrinsic)
  Apply Watt-Fabricius normalization
      x / S(F), S(F) = (F(i) + F(a) + F(u')) / 3 from the subject's means
      at the two corner vowels you name once for both formants (high front
      and low), and u' with F1 = F2 = the F1 of i (Watt and Fabricius 2002)
  Apply Bark normalization (no speaker normalization)
      z = 26.81 f / (1960 + f) - 0.53, corrected below 2 and above 20.1
      Bark (Traunmueller 1990)

Duration methods (see the "?" beside the Temporal menu):

  Do not normalize - Already normalized
  Apply Z-score normalization
  Apply Phrase Duration normalization


WHAT HAPPENS ON "CONTINUE"
--------------------------

1. F1 is normalized with its method, subject by subject, then F2, then
   (unless the analysis is 2D only) the duration.
2. The normalized values are written into a copy of your data table, row
   for row. Tokens that belong to no subject (Subject or Vowel was NULL)
   keep the values read from the file, and so do all other columns.
3. Step 3 (the vowel groups) becomes active, with the first category
   and its first type selected.

Each finished measurement is kept at once. If a later one fails or you
cancel the Known Extremes or Watt-Fabricius dialogs, or press Cancel in a
method's progress dialog, Step 2 stays active: change the choice
and press "Continue" again.

Measurements that are not numbers (empty, NULL, text) are carried along as
NaN. Depending on the method, one such value can make all of that subject's
normalized values NaN: check the per-subject summary in the activity log
("View Log") after Step 1 if results look empty.


AFTER STEP 2
------------

Step 2 cannot be reopened in the same window. To compare methods, save the
session (File, "Save Session") before pressing "Continue", and open it again
(File, "Open Session") to start Step 2 afresh.


REFERENCES
----------

Lobanov, B. M. (1971). Classification of Russian vowels spoken by different
  speakers. Journal of the Acoustical Society of America 49(2B), 606-608.
Nearey, T. M. (1978). Phonetic feature systems for vowels. Indiana
  University Linguistics Club.
Traunmueller, H. (1990). Analytical expressions for the tonotopic sensory
  scale. Journal of the Acoustical Society of America 88(1), 97-100.
Watt, D. and Fabricius, A. (2002). Evaluation of a technique for improving
  the mapping of multiple speakers' vowel spaces in the F1~F2 plane. Leeds
  Working Papers in Linguistics and Phonetics 9, 159-173.
