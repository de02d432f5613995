"""The genuine simulator's flight records (tests/genuine_host/logger.lua) and
the orbit they describe.

Positions and velocities are relative to Earth in the simulator's ecliptic
frame, which is left-handed (x to the equinox, y to ecliptic north); the
orbit's elements and the orbit frame do not depend on the handedness, since
every cross product below is taken consistently in the same components."""
import math
from dataclasses import dataclass

# Earth's GM as the simulator has it: G (its Lua G constant) times the mass in
# its Config/Earth.cfg, in m^3/s^2.
EARTH_GM = 6.67259e-11 * 5.973698968e24


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def norm(a):
    return math.sqrt(dot(a, a))


def unit(a):
    n = norm(a)
    return tuple(x / n for x in a)


@dataclass
class Record:
    t: float           # simulated time, s
    step: float        # the host's last time step, s
    tacc: float
    vessel: str
    r: tuple           # m
    v: tuple           # m/s
    level: float       # main engines, 0..1
    prop: float        # all propellant, kg
    main: float        # the main engines' tank, kg
    mass: float        # kg
    thrust: float      # main engines' total maximum thrust, N
    isp: float         # N*s/kg
    rot: tuple         # rotation matrix, row by row (vessel -> ecliptic)

    def nose(self):
        return (self.rot[2], self.rot[5], self.rot[8])

    def up(self):
        return (self.rot[1], self.rot[4], self.rot[7])


def read(path):
    """(records, marks): records in order; marks as (time, label)."""
    records, marks = [], []
    for line in open(path):
        fields = line.split()
        if not fields:
            continue
        if fields[0] == "R" and len(fields) == 26:
            numbers = [float(x) for x in fields[5:]]
            records.append(Record(float(fields[1]), float(fields[2]), float(fields[3]), fields[4],
                                  tuple(numbers[0:3]), tuple(numbers[3:6]), numbers[6], numbers[7], numbers[8],
                                  numbers[9], numbers[10], numbers[11], tuple(numbers[12:21])))
        elif fields[0] == "M" and len(fields) >= 3:
            marks.append((float(fields[1]), " ".join(fields[2:])))
    return records, marks


@dataclass
class Orbit:
    a: float             # semi-major axis, m (negative: not closed)
    e: float
    mean_anomaly: float  # rad, 0 .. 2 pi
    periapsis: float     # radius, m
    apoapsis: float      # radius, m (inf when not closed)
    period: float        # s (inf when not closed)


def orbit(r, v, gm=EARTH_GM):
    rn, vn = norm(r), norm(v)
    energy = vn * vn / 2 - gm / rn
    a = -gm / (2 * energy)
    h = cross(r, v)
    evec = tuple(c / gm - x / rn for c, x in zip(cross(v, h), r))
    e = norm(evec)
    if e >= 1 or a <= 0:
        return Orbit(a, e, float("nan"), a * (1 - e), float("inf"), float("inf"))
    cos_nu = max(-1.0, min(1.0, dot(evec, r) / (e * rn))) if e > 1e-12 else 1.0
    nu = math.acos(cos_nu)
    if dot(r, v) < 0:
        nu = 2 * math.pi - nu
    big_e = 2 * math.atan2(math.sqrt(1 - e) * math.sin(nu / 2), math.sqrt(1 + e) * math.cos(nu / 2))
    mean = (big_e - e * math.sin(big_e)) % (2 * math.pi)
    return Orbit(a, e, mean, a * (1 - e), a * (1 + e), 2 * math.pi * math.sqrt(a ** 3 / gm))


def in_burn_window(o):
    """The page's window: the third of the orbit around periapsis, the time to
    periapsis under a sixth or over five sixths of the period."""
    if math.isnan(o.mean_anomaly):
        return False
    to_periapsis = 1 - o.mean_anomaly / (2 * math.pi)
    return to_periapsis < 1 / 6 or to_periapsis > 5 / 6


def window_edge_distance(o):
    """Simulated seconds from the nearer edge of the burn window."""
    phase = o.mean_anomaly / (2 * math.pi)
    return min(abs(phase - edge) for edge in (1 / 6, 5 / 6)) * o.period


def orbit_frame_axes(rec):
    """The vessel's nose and up axes in the orbit frame about Earth (forward =
    velocity, side = forward x radial, up = side x forward)."""
    forward = unit(rec.v)
    side = unit(cross(forward, unit(rec.r)))
    up = cross(side, forward)
    basis = (forward, side, up)
    return tuple(dot(rec.nose(), b) for b in basis), tuple(dot(rec.up(), b) for b in basis)


def angle_between(a, b):
    return math.degrees(math.acos(max(-1.0, min(1.0, dot(a, b) / (norm(a) * norm(b))))))
