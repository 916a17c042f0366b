#!/usr/bin/env python3
"""Writes a synthetic study as a tab-separated data file, the same for the same arguments:
    bench/make_study.py TOKENS SPEAKERS OUT.txt [SEED]
Columns Speaker, Vowel, F1, F2, Duration, PhraseDuration, Group: twelve vowels with their own formant
means, speakers of four groups with their own vocal-tract scale, normal scatter around both."""
import random
import sys

VOWELS = {"iy": (340, 2320), "ih": (430, 2020), "ei": (480, 2290), "eh": (580, 1800), "ae": (660, 1720),
          "ah": (760, 1320), "aw": (710, 1090), "oa": (500, 910), "oo": (470, 1120), "uw": (380, 990),
          "uh": (620, 1200), "er": (470, 1380)}
GROUPS = {"man": 1.0, "woman": 1.15, "boy": 1.22, "girl": 1.25}


def main():
    tokens, speakers, out = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    names = list(VOWELS)
    groups = list(GROUPS)
    with open(out, "w") as f:
        f.write("Speaker\tVowel\tF1\tF2\tDuration\tPhraseDuration\tGroup\n")
        for k in range(tokens):
            s = k % speakers
            group = groups[s % len(groups)]
            scale = GROUPS[group] * (1 + 0.04 * ((s * 7919) % 11 - 5) / 5)
            vowel = names[(k // speakers) % len(names)]
            f1, f2 = VOWELS[vowel]
            dur = rng.gauss(240, 40)
            f.write(f"s{s:03d}\t{vowel}\t{rng.gauss(f1 * scale, 45):.0f}\t{rng.gauss(f2 * scale, 120):.0f}\t"
                    f"{dur:.0f}\t{rng.gauss(dur * 5, 150):.0f}\t{group}\n")


if __name__ == "__main__":
    main()
