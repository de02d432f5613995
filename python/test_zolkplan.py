"""The Python package's flights against zolksim's for the same case.

Run by ctest: test_zolkplan.py ZOLKSIM PACKAGE_FOLDER.
"""

import csv
import json
import math
import os
import re
import subprocess
import sys
import tempfile
import unittest

ZOLKSIM = sys.argv[1] if len(sys.argv) > 1 else "build/default/bin/zolksim"
sys.path.insert(0, sys.argv[2] if len(sys.argv) > 2 else "build/default/python")

import zolkplan  # noqa: E402

GOAL = "apoapsis >= 3000 km"
DAYS, STEP = 10, 5


def zolksim_summary(*args):
    """zolksim's summary.txt for a run of the default mission."""
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([ZOLKSIM, *args, "--out", out, "--quiet"], check=False, capture_output=True)
        with open(os.path.join(out, "summary.txt"), encoding="utf-8") as f:
            return f.read()


def zolksim_files(*args):
    """zolksim's summary.json (parsed) and history.csv (rows as dicts) for a run
    of the default mission."""
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([ZOLKSIM, *args, "--out", out, "--quiet"], check=False, capture_output=True)
        with open(os.path.join(out, "summary.json"), encoding="utf-8") as f:
            summary = json.load(f)
        with open(os.path.join(out, "history.csv"), encoding="utf-8", newline="") as f:
            history = list(csv.DictReader(f))
        return summary, history


try:
    import numpy
except ImportError:
    numpy = None


def figure(text, name):
    """The last number on the summary's line that begins with name."""
    line = next(l for l in text.splitlines() if l.strip().startswith(name))
    return float(re.findall(r"-?\d+\.\d+", line)[-1])


class SameAsZolksim(unittest.TestCase):
    def test_default_mission_until_the_goal(self):
        text = zolksim_summary("--until", GOAL, "--days", str(DAYS), "--step", str(STEP))
        s = zolkplan.load_scenario().fly(GOAL, days=DAYS, step=STEP)["summary"]
        self.assertTrue(s["met"])
        self.assertEqual(s["goal"], GOAL)
        # As printed: kg to 3 decimals, km to 1.
        self.assertEqual(f"{s['propellant_used_kg']:.3f}", f"{figure(text, 'propellant used'):.3f}")
        self.assertEqual(f"{s['final_apoapsis_km']:.1f}", f"{figure(text, 'apoapsis altitude'):.1f}")
        self.assertEqual(f"{s['final_periapsis_km']:.1f}", f"{figure(text, 'periapsis altitude'):.1f}")
        burns = re.search(r"in (\d+) burns", text)
        self.assertEqual(s["burns"], int(burns.group(1)))
        # The time met: the step's end, a whole number of steps.
        self.assertEqual(s["time_to_goal_s"], s["steps"] * STEP)

    def test_case_values_change_the_flight_as_a_scenario_would(self):
        tug = zolkplan.load_scenario()
        base = tug.fly(GOAL, days=DAYS, step=STEP)["summary"]
        faster = tug.set(thrust=4.5).fly(GOAL, days=DAYS, step=STEP)["summary"]
        self.assertLess(faster["time_to_goal_s"], base["time_to_goal_s"])
        # A thrust error of +50 % on 3 N is 4.5 N.
        erred = tug.clear().set(thrust_error=0.5).fly(GOAL, days=DAYS, step=STEP)["summary"]
        self.assertEqual(erred, faster)
        with self.assertRaisesRegex(ValueError, "unknown value 'thrusst'"):
            tug.clear().set(thrusst=1).fly(GOAL, days=DAYS, step=STEP)
        with self.assertRaisesRegex(ValueError, "goal"):
            tug.clear().fly("apoapsis >=", days=DAYS, step=STEP)



MEAN_GOAL = "mean apoapsis >= 2500 km"


class SameAsSummaryJson(unittest.TestCase):
    """A goal on means, flown by both: the same flight, step for step."""

    @classmethod
    def setUpClass(cls):
        cls.json, cls.csv = zolksim_files("--until", MEAN_GOAL, "--days", str(DAYS), "--step", str(STEP))
        cls.ours = zolkplan.load_scenario().fly(MEAN_GOAL, days=DAYS, step=STEP)

    def test_summary_figures_equal_the_json(self):
        s, j = self.ours["summary"], self.json
        self.assertEqual(j["goal"]["condition"], MEAN_GOAL)
        self.assertTrue(j["goal"]["met"])
        self.assertEqual(s["met"], j["goal"]["met"])
        self.assertEqual(s["steps"], j["goal"]["met_step"])
        self.assertEqual(s["time_to_goal_s"], j["goal"]["met_s"])
        self.assertEqual(s["burns"], j["burns"])
        self.assertEqual(s["full_orbits"], j["full_orbits"])
        self.assertIsNone(s["stopped"])
        for ours, theirs in [("propellant_used_kg", "propellant_used_kg"), ("burn_time_s", "burn_s"),
                             ("final_apoapsis_km", "apoapsis_end_km"), ("final_periapsis_km", "periapsis_end_km"),
                             ("mean_apoapsis_last_orbit_km", "mean_apoapsis_last_orbit_km"),
                             ("mean_periapsis_last_orbit_km", "mean_periapsis_last_orbit_km"),
                             ("delta_v_used_m_s", "delta_v_used_m_s")]:
            self.assertAlmostEqual(s[ours], j[theirs], delta=1e-6 * max(1.0, abs(j[theirs])), msg=ours)
        self.assertGreaterEqual(s["mean_apoapsis_last_orbit_km"], 2500)

    def test_history_rows_equal_the_csv(self):
        rows = self.ours["history"]
        self.assertEqual(len(rows), len(self.csv))
        self.assertGreater(len(rows), 3)
        for ours, theirs in zip(rows, self.csv):
            self.assertEqual(set(ours), set(theirs))
            self.assertEqual(ours["orbit"], int(theirs["orbit"]))
            self.assertEqual(ours["full"], theirs["full"] == "1")
            for key, text in theirs.items():
                if key in ("orbit", "full"):
                    continue
                if text == "":
                    self.assertIsNone(ours[key], key)
                    continue
                # The file keeps 3 to 8 decimals: within half its last one.
                decimals = len(text.split(".")[1]) if "." in text else 0
                self.assertAlmostEqual(ours[key], float(text), delta=0.5 * 10**-decimals + 1e-9,
                                       msg=f"orbit {ours['orbit']} {key}")
        # The first row runs to the first apoapsis: a part, no means.
        self.assertFalse(rows[0]["full"])
        self.assertIsNone(rows[0]["mean_apoapsis_km"])

    @unittest.skipIf(numpy is None, "NumPy is not installed")
    def test_history_as_arrays(self):
        rows = self.ours["history"]
        arrays = zolkplan.history_arrays(rows)
        self.assertEqual(arrays["orbit"].tolist(), [r["orbit"] for r in rows])
        self.assertEqual(arrays["full"].dtype, bool)
        self.assertTrue(math.isnan(arrays["mean_apoapsis_km"][0]))
        self.assertEqual(arrays["delta_v_total_m_s"][-1], rows[-1]["delta_v_total_m_s"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
