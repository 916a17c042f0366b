TARVIK3D HELP: SPECTRAL NORMALIZATION (F1 AND F2)
=================================================

The menus "Spectral 1" (F1) and "Spectral 2" (F2) choose how each formant
is normalized. Every method works subject by subject and formant by
formant; the two formants may use different methods.

Notation for one subject: it has T vowel categories (its own ones only);
vowel v has n tokens with values x(v,1) ... x(v,n). A "vowel mean" is the
mean of one vowel's tokens. Every vowel category weighs the same in the
subject's statistics, however many tokens it has.


DO NOT NORMALIZE - ALREADY NORMALIZED
-------------------------------------

The values are used as they are. Choose this when your file already holds
normalized values, or to work in Hertz.


APPLY Z-SCORE NORMALIZATION
---------------------------

  M = mean of the subject's T vowel means
  S = standard deviation of the T vowel means (divisor T - 1)
  z = (x - M) / S          for every token

The result has no unit: 0 is the subject's centre, 1 is one standard
deviation of the vowel means. Note that S is the spread of the vowel
means, not of the tokens. A subject with a single vowel category has S = 0
and its values become infinite or NaN.


APPLY LOGARITHMIC NORMALIZATION
-------------------------------

  y = log10(x)             for every token
  G = mean over the vowels of the mean y of each vowel
  normalized value = y - G

The result is in log10 units relative to the subject's centre; there is no
scaling. Values of 0 give minus infinity, and through G that affects the
whole subject: remove zero measurements first.


APPLY KNOWN EXTREMES NORMALIZATION
----------------------------------

Like the logarithmic method, but the centre G is taken from two vowel
categories you name, typically the two corner vowels of the vowel space
(for example i and a):

  G = (mean log10 of vowel a + mean log10 of vowel b) / 2
  normalized value = log10(x) - G

What you will be asked:

1. "Continue with Known Extremes normalization?" lists the vowel categories
   that every subject has. Only these can serve as extremes. With one
   subject they are listed in data order, with several in sorted order.
   Press "cancel" to go back and choose another method.
2. A dialog titled with your F1 (or F2) column name asks for the first and
   the second extreme category. Type them exactly as listed: case matters,
   so I does not match i. The same category may be given twice; G is then
   that vowel's mean log value.
3. A name that is not in the list is refused and the dialog is shown again
   until both names are valid. Cancelling stops the normalization and
   leaves Step 2 open so you can choose again.

The dialogs appear once for F1 and once for F2 if you choose this method for
both. A non-numeric value in an extreme vowel makes the whole subject NaN;
elsewhere it affects only its own token.


WHICH ONE TO CHOOSE
-------------------

- Z-score: removes differences in both the position and the spread of each
  speaker's vowel space; good when every speaker produced the same set of
  vowels.
- Logarithmic: removes differences in position (vocal tract length) on a
  log scale, keeps the relative spread.
- Known extremes: as logarithmic, anchored on two vowels every speaker has;
  useful when speakers produced different vowel sets, which would shift a
  centre computed from all vowels.
- Do not normalize: for single-speaker data or values normalized elsewhere.
