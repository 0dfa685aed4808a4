#!/usr/bin/env python3
"""Generates the bundled examples once; the files are kept in the repository.

  history.txt          300 five-digit draws from a fixed seed (not real draws)
  veltrin-example.flt  a filter setting of three pair-score conditions with the
                       tolerance E|0-1, in GBK, section [过滤], key Veltrin

Run from anywhere: python3 examples/make_examples.py
The draws come from xorshift32 seeded with SEED, so that the output is the
same on every machine and Python version.
"""
import os

SEED = 20240501
DRAWS = 300
DIGITS = 5
FIRST_ISSUE = 2024001
HERE = os.path.dirname(os.path.abspath(__file__))


def xorshift32(state):
    while True:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        yield state


def make_draws():
    rng = xorshift32(SEED)
    return ["".join(str(next(rng) % 10) for _ in range(DIGITS)) for _ in range(DRAWS)]


def codes(bet):
    return [int(bet[i:i + 2]) for i in range(len(bet) - 1)]


def history_scores(draws):
    """As veltrin-host derives a table: 0..100 by how often a code was drawn."""
    counts = [0] * 100
    for d in draws:
        for c in codes(d):
            counts[c] += 1
    most = max(counts)
    return [(n * 100 + most // 2) // most for n in counts]


def neighbour_scores():
    """Doubles (00, 11, ..) 60, neighbours (01, 10, 12, ..) 40, others 0."""
    out = []
    for c in range(100):
        a, b = divmod(c, 10)
        out.append(60 if a == b else 40 if abs(a - b) == 1 else 0)
    return out


def size_scores():
    """Both digits big (5-9) 30, one big 15, both small 0."""
    return [15 * ((c // 10 >= 5) + (c % 10 >= 5)) for c in range(100)]


def table_text(scores):
    """The score grid's form: every score 0..100, its codes ascending."""
    groups = []
    for s in range(101):
        members = " ".join("%02d" % c for c in range(100) if scores[c] == s)
        groups.append("%d=%s" % (s, members))
    return ",".join(groups)


def range_from_histogram(h, keep):
    """The batch range assistant's trimming of both tails, low end first."""
    total = sum(h)
    lo = min(i for i, n in enumerate(h) if n > 0)
    hi = max(i for i, n in enumerate(h) if n > 0)
    kept, step = total, 0
    while kept / total * 10000 > keep:
        for end in (("lo", "hi") if step % 2 == 0 else ("hi", "lo")):
            count = h[lo] if end == "lo" else h[hi]
            if (kept - count) / total * 10000 >= keep:
                kept -= count
                if end == "lo":
                    lo += 1
                else:
                    hi -= 1
                break
        else:
            break
        step += 1
    return lo, hi


def score(bet, scores):
    return sum(scores[c] for c in codes(bet))


def main():
    draws = make_draws()
    with open(os.path.join(HERE, "history.txt"), "w", newline="\n") as f:
        f.write("# Veltrin example draw history: %d five-digit draws generated once by\n" % DRAWS)
        f.write("# examples/make_examples.py from the fixed seed %d (not real draws).\n" % SEED)
        f.write("# One draw per line: issue number, a blank, the drawn digits.\n")
        for i, d in enumerate(draws):
            f.write("%d %s\n" % (FIRST_ISSUE + i, d))

    all_bets = ["%05d" % n for n in range(10 ** DIGITS)]
    top = 100 * (DIGITS - 1)
    conditions = []
    for scores in (history_scores(draws), neighbour_scores(), size_scores()):
        # Each range keeps half of the history, as the batch assistant fits it.
        h = [0] * (top + 1)
        for d in draws:
            h[score(d, scores)] += 1
        lo, hi = range_from_histogram(h, 5000)
        conditions.append((scores, lo, hi))

    lines = ["E|0-1"]
    for scores, lo, hi in conditions:
        lines.append("直选:%s:%d-%d" % (table_text(scores), lo, hi))
    value = ";".join(lines) + ";"

    kept = 0
    for bet in all_bets:
        failed = sum(not (lo <= score(bet, s) <= hi) for s, lo, hi in conditions)
        kept += failed <= 1
    with open(os.path.join(HERE, "veltrin-example.flt"), "wb") as f:
        f.write(b"; Veltrin example filter setting (GBK): three pair-score conditions fitted\r\n")
        f.write(b"; to examples/history.txt, tolerance E|0-1; made by make_examples.py\r\n")
        f.write("[过滤]\r\n".encode("gbk"))
        f.write(("Veltrin=" + value + "\r\n").encode("gbk"))
    print("ranges:", [(lo, hi) for _, lo, hi in conditions])
    print("keeps %d of %d five-digit bets (%.1f%%)" % (kept, len(all_bets), 100.0 * kept / len(all_bets)))


if __name__ == "__main__":
    main()
