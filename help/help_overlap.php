TARVIK3D HELP: OVERLAP AND MEASURES (STEP 4)
============================================

Step 4 measures how much the vowel groups of step 3 overlap. Each group has
a best-fit ellipse (F2 x F1) and a best-fit ellipsoid (F2 x F1 x duration)
around its normalized tokens. "Calculate 2D" and "Calculate 3D" measure the
overlap of the two groups chosen in the menus, or of every pair when
"calculate all group overlaps" is checked.


THE GRID OVERLAP
----------------

A regular grid is laid over the box that holds both shapes of a pair, with
the number of intervals along F2, F1 and duration that the resolution sets
(20 unless you change it). The program counts the grid points inside the
first shape (E1 count), inside the second (E2 count) and inside both (both
count), and reports:

  E1 fraction   both count / E1 count: the share of the first shape that
                lies inside the second
  E2 fraction   both count / E2 count
  overlap       the larger of the two fractions: 1 when one shape lies
                wholly inside the other, 0 when they are apart

A shape that holds no grid point (a group of one or two tokens, tokens on a
line) has no share to compare: its overlaps are NaN, never 0. A finer grid
gives a closer estimate and takes longer (the time grows with the number of
grid points).


MEASURES BESIDE THE OVERLAP
---------------------------

The same pairs can be described by the measures phoneticians report. They
are computed on the same normalized tokens the fits use: F2 and F1 in 2D;
F2, F1 and duration in 3D. With n1 and n2 tokens, N = n1 + n2, p dimensions,
group means m1 and m2 and sample covariances S1 and S2 (divisor n - 1):

  Pillai trace (Pillai 1955)
      V = trace(H (H + E)^-1) of the one-way MANOVA of the two groups, H
      the between-groups and E the within-groups sums of squares and
      products. Its exact F test for two groups:
          F = (V / (1 - V)) (N - p - 1) / p
      with p and N - p - 1 degrees of freedom, and the p-value. Beside it,
      p / (N - 1), the value V takes on average for two samples of these
      sizes from one population: V is small for large samples anyway, so
      compare V against it.

  Bhattacharyya distance and affinity (Bhattacharyya 1943)
      D_B = (1/8) d' S^-1 d + (1/2) ln(det S / sqrt(det S1 det S2)),
      d = m1 - m2 and S = (S1 + S2) / 2; the affinity BC = exp(-D_B), 1 for
      two equal distributions.

  Mahalanobis distance (Mahalanobis 1936)
      the distance between the means measured with the pooled covariance
      ((n1 - 1) S1 + (n2 - 1) S2) / (N - 2).

  Euclidean distance
      the plain distance between the means, in normalized units.

A measure that needs a covariance a group does not have (too few tokens,
tokens on a line or a plane) is NaN, and the group is named once in a
warning.

In the batch tool, --measures pillai,bhattacharyya,mahalanobis,euclidean
(or --measures all) adds the columns pillai, pillai_f, pillai_df1,
pillai_df2, pillai_p, pillai_null, bhattacharyya_distance,
bhattacharyya_affinity, mahalanobis and euclidean to the CSV and JSON
outputs, after the overlap's own columns.


REFERENCES
----------

Bhattacharyya, A. (1943). On a measure of divergence between two
  statistical populations defined by their probability distributions.
  Bulletin of the Calcutta Mathematical Society 35, 99-109.
Mahalanobis, P. C. (1936). On the generalized distance in statistics.
  Proceedings of the National Institute of Sciences of India 2(1), 49-55.
Pillai, K. C. S. (1955). Some new test criteria in multivariate analysis.
  Annals of Mathematical Statistics 26(1), 117-121.
