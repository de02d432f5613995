#!/usr/bin/env python3
"""Flies a small dispersion of the default tug from Python and plots it.

    PYTHONPATH=build/default/python python3 docs/examples/plot_dispersion.py [--cases N] [--out FILE.png]
    python3 docs/examples/plot_dispersion.py --csv dispersion-out/sweep.csv   # a zolksim sweep's, instead

Each case draws a thrust error (2 % 1 sigma), an ISP error (1 %), a pointing
error (0.5 deg) and starting-state errors (100 m, 0.1 m/s per axis of the orbit
frame) with NumPy, flies it with zolkplan until "apoapsis >= 5000 km", and the
picture shows the histogram of the time to the goal, its CDF, and the time
against the thrust error. Needs matplotlib (Debian python3-matplotlib) and
NumPy (python3-numpy).
"""

import argparse
import csv

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

GOAL, DAYS, STEP = "apoapsis >= 5000 km", 30, 5


def fly_dispersion(cases, seed):
    import zolkplan

    rng = np.random.default_rng(seed)
    tug = zolkplan.load_scenario()
    rows = []
    for _ in range(cases):
        draws = {
            "thrust_error": rng.normal(0, 0.02),
            "isp_error": rng.normal(0, 0.01),
            "pointing": abs(rng.normal(0, 0.5)),
            "pointing_azimuth": rng.uniform(0, 360),
        }
        for axis in ("radial", "along", "cross"):
            draws[axis + "_position"] = rng.normal(0, 100)
            draws[axis + "_velocity"] = rng.normal(0, 0.1)
        s = tug.clear().set(**draws).fly(GOAL, days=DAYS, step=STEP)["summary"]
        rows.append((draws["thrust_error"], s["time_to_goal_d"] if s["met"] else np.nan, s["propellant_used_kg"]))
    return np.array(rows, dtype=float)


def read_sweep(path):
    with open(path, newline="", encoding="utf-8") as f:
        rows = [(float(r.get("thrust_error") or 0), float(r["time_to_goal_d"]) if r["met"] == "yes" else np.nan,
                 float(r["propellant_used_kg"])) for r in csv.DictReader(f)]
    return np.array(rows, dtype=float)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--csv", help="plot a zolksim sweep's sweep.csv instead of flying")
    parser.add_argument("--out", default="dispersion-python.png")
    args = parser.parse_args()
    data = read_sweep(args.csv) if args.csv else fly_dispersion(args.cases, args.seed)
    error, days = data[:, 0], data[:, 1]
    met = ~np.isnan(days)
    print(f"{met.sum()} of {len(days)} met; time to goal mean {np.nanmean(days):.4f} d, "
          f"sd {np.nanstd(days, ddof=1):.4f} d, 5/50/95 %: {np.nanpercentile(days, [5, 50, 95]).round(4)}")

    fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4.2))
    left.hist(days[met], bins="auto", color="#7fa8d8")
    left.set_xlabel("time to goal (d)")
    left.set_ylabel("cases")
    cdf = left.twinx()
    ordered = np.sort(days[met])
    cdf.step(ordered, np.arange(1, len(ordered) + 1) / len(days), where="post", color="#cc4422")
    cdf.set_ylim(0, 1)
    cdf.set_ylabel("share of all cases met by then")
    right.scatter(100 * error[met], days[met], s=12)
    right.set_xlabel("thrust error (%)")
    right.set_ylabel("time to goal (d)")
    fig.suptitle(f'Default tug, "{GOAL}": {met.sum()} of {len(days)} cases met')
    fig.tight_layout()
    fig.savefig(args.out, dpi=100)
    print("written", args.out)


if __name__ == "__main__":
    main()
