# The measures of tests/overlap/measures_test.cpp computed independently with NumPy and SciPy
# (run once; its printed numbers are pinned in that test): python3 measures.py
import numpy as np
from scipy import stats
A = np.array([[1.2,0.3,0.5],[1.0,0.5,0.1],[1.4,0.2,0.3],[0.9,0.4,0.2],[1.1,0.1,0.6],[1.3,0.6,0.4]])
B = np.array([[0.2,1.1,0.7],[0.5,0.9,0.2],[0.1,1.3,0.9],[0.4,1.0,0.4],[0.3,0.7,0.5],[0.6,1.2,0.8],[0.0,0.8,0.3]])
# a second, overlapping pair
C = np.array([[1.0,0.6,0.4],[1.2,0.4,0.2],[0.8,0.7,0.5],[1.1,0.3,0.3],[0.9,0.5,0.1]])
for name, X, Y in (("AB", A, B), ("AC", A, C)):
  for p in (2, 3):
    x, y = X[:, :p], Y[:, :p]
    n1, n2 = len(x), len(y); N = n1 + n2
    m1, m2 = x.mean(0), y.mean(0); d = m1 - m2
    S1, S2 = np.cov(x, rowvar=False), np.cov(y, rowvar=False)
    E = (n1-1)*S1 + (n2-1)*S2
    g = (n1*m1 + n2*m2)/N
    H = n1*np.outer(m1-g, m1-g) + n2*np.outer(m2-g, m2-g)
    V = np.trace(H @ np.linalg.inv(H+E))
    df2 = N-p-1
    F = V/(1-V)*df2/p
    pv = stats.f.sf(F, p, df2)
    S = (S1+S2)/2
    DB = d @ np.linalg.solve(S, d)/8 + 0.5*np.log(np.linalg.det(S)/np.sqrt(np.linalg.det(S1)*np.linalg.det(S2)))
    Sp = E/(N-2)
    Dm = np.sqrt(d @ np.linalg.solve(Sp, d))
    print(name, p, ", ".join(repr(float(v)) for v in (V, F, p, df2, pv, p/(N-1), DB, np.exp(-DB), Dm, np.linalg.norm(d))))
