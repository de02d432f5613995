"""The Python package's flights against zolksim's for the same case.

Run by ctest: test_zolkplan.py ZOLKSIM PACKAGE_FOLDER.
"""

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


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
