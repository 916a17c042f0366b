# The normalizations of tests/normalize/subject_normalization_test.cpp computed independently with
# NumPy (run once; its printed numbers are pinned in that test): python3 normalize.py
import numpy as np
# one subject, vowel targets i, a, u with F1 and F2 tokens
F1 = {"i": [280.0, 300.0, 320.0], "a": [700.0, 760.0], "u": [330.0, 310.0, 350.0, 300.0]}
F2 = {"i": [2300.0, 2250.0, 2400.0], "a": [1250.0, 1300.0], "u": [800.0, 900.0, 850.0, 870.0]}
def G(F):
    return np.mean([np.mean(np.log10(v)) for v in F.values()])
g = (G(F1) + G(F2)) / 2
print("nearey2 G", repr(float(g)))
print("nearey2 F1 a[1]", repr(float(np.log10(760.0) - g)), "F2 u[0]", repr(float(np.log10(800.0) - g)))
S1 = (np.mean(F1["i"]) + np.mean(F1["a"]) + np.mean(F1["i"])) / 3
S2 = (np.mean(F2["i"]) + np.mean(F2["a"]) + np.mean(F1["i"])) / 3
print("watt S1", repr(float(S1)), "S2", repr(float(S2)))
print("watt F1 u[2]", repr(float(350.0 / S1)), "F2 a[0]", repr(float(1250.0 / S2)))
def bark(f):
    z = 26.81 * f / (1960 + f) - 0.53
    return np.where(z < 2, z + 0.15 * (2 - z), np.where(z > 20.1, z + 0.22 * (z - 20.1), z))
for f in (100.0, 150.0, 500.0, 2300.0, 7000.0, 9000.0):
    print("bark", f, repr(float(bark(f))))
