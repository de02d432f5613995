"""ZolkMFD's planner from Python: load a scenario, set a case's values, fly it
with a goal, and read the summary as a dict.

    import zolkplan
    tug = zolkplan.load_scenario()            # the built-in mission
    tug.set(thrust=4.0, thrust_error=0.02, pointing=0.5)
    result = tug.fly("apoapsis >= 5000 km", days=30, step=5)
    result["summary"]["time_to_goal_d"]
    result["history"][-1]["mean_apoapsis_km"]   # one dict per orbit
    zolkplan.history_arrays(result["history"])  # one NumPy array per column

Values take the names of a study's [sample] table (docs/dispersion.md):
thrust (N), isp (N s/kg), propellant (kg), dry_mass (kg), periapsis and
apoapsis (km), thrust_error and isp_error (fractions), pointing (deg, with
pointing_azimuth in deg), start_delay (days), radial/along/cross_position (m)
and radial/along/cross_velocity (m/s) in the orbit frame.
"""

from . import _zolkplan

__all__ = ["Scenario", "history_arrays", "load_scenario"]


class Scenario:
    """A scenario file (None: the built-in mission) and the values of one case."""

    def __init__(self, path=None, module=None):
        self.path = None if path is None else str(path)
        self.module = None if module is None else str(module)
        self.values = {}

    def set(self, **values):
        """Sets case values by name; returns the scenario, for chaining."""
        for name, value in values.items():
            self.values[name] = float(value)
        return self

    def clear(self):
        """Back to the scenario as written."""
        self.values = {}
        return self

    def fly(self, goal, days, step=1.0):
        """Flies the case until the goal or the limit; returns {"summary": dict,
        "history": list}: the history one dict per orbit, keyed as history.csv's
        columns (None where the file leaves a figure empty)."""
        return _zolkplan.fly(self.path, dict(self.values), goal, float(days), float(step), self.module)


def load_scenario(path=None, module=None):
    """A scenario to fly: a scenario file, or None for the built-in mission."""
    return Scenario(path, module)


def history_arrays(history):
    """The per-orbit history as one NumPy array per column (NaN for None);
    needs NumPy."""
    import numpy

    if not history:
        return {}
    return {
        key: numpy.array([numpy.nan if row[key] is None else row[key] for row in history],
                         dtype=bool if key == "full" else int if key == "orbit" else float)
        for key in history[0]
    }
