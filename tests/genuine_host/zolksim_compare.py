"""The genuine host's orbits flight flown again in zolksim from the same start
state, and the two compared orbit by orbit: burn start and end, propellant
per burn, periapsis and apoapsis gained from one coast to the next.

The start state is the genuine flight's first record: position and velocity
relative to Earth, attitude, mass, main tank, thrust and ISP. The simulator's
ecliptic frame is left-handed (y to ecliptic north), zolksim's right-handed (z
north): a vector (x, y, z) there is (x, z, y) here; the vessel's axes keep
nose (+z) and up (+y) and turn x over, so the attitude stays a rotation."""
import math
import pathlib
import statistics
import subprocess

import flight_log as fl

RECORD_PERIOD = 10.0   # s of simulated time between records, both hosts
ZOLKSIM_STEP = 1.0     # s


def swap(vector):
    return (vector[0], vector[2], vector[1])


def zolksim_rotation(rot):
    """The simulator's rotation matrix (rows) as zolksim's: P R F, P swapping
    y and z, F turning the vessel's x over (so the side axis is rebuilt as
    up x nose)."""
    rows = [rot[0:3], rot[3:6], rot[6:9]]
    swapped = [rows[0], rows[2], rows[1]]
    # The recorder's seven decimals leave the axes orthonormal to 1e-7 only:
    # the nose kept, up made square to it, the side completed right-handed.
    nose = fl.unit(tuple(row[2] for row in swapped))
    up_raw = tuple(row[1] for row in swapped)
    up = fl.unit(tuple(u - fl.dot(up_raw, nose) * n for u, n in zip(up_raw, nose)))
    side = fl.cross(up, nose)
    return [side[0], up[0], nose[0], side[1], up[1], nose[1], side[2], up[2], nose[2]]


def scenario(first, start_mjd):
    r, v = swap(first.r), swap(first.v)
    rot = zolksim_rotation(first.rot)
    dry = first.mass - first.main
    half = first.thrust / 2
    return f"""BEGIN_DESC
The genuine host's orbits flight (scripts/test-genuine-host) from its first record.
END_DESC

BEGIN_ENVIRONMENT
  DATE MJD {start_mjd + first.t / 86400:.10f}
  NONSPHERICAL_GRAVITY OFF
END_ENVIRONMENT

BEGIN_FOCUS
  SHIP GL-01
END_FOCUS

BEGIN_MFD Left
  TYPE User
  MODE ZOLKMFD
  ATT 1
  ABP 1
  MOT {first.thrust:.6f}
  ISP {first.isp:.6f}
  RBD Earth
  VES GL-01
END_MFD

BEGIN_SHIPS
GL-01
  EMPTY_MASS {dry:.6f}
  REF Earth
  RPOS {r[0]:.3f} {r[1]:.3f} {r[2]:.3f}
  RVEL {v[0]:.6f} {v[1]:.6f} {v[2]:.6f}
  ROT {' '.join(f'{x:.15f}' for x in rot)}
  VROT 0 0 0
  TANK {first.main:.6f} {first.main:.6f}
  THRUSTER 0 0 -5 0 0 1 {half:.6f} {first.isp:.6f} 0 0
  THRUSTER 0 0 -5 0 0 1 {half:.6f} {first.isp:.6f} 0 0
  GROUP MAIN 0 1
END
END_SHIPS
"""


def fly_zolksim(zolksim, text, seconds, folder):
    """zolksim's records: the state saved every RECORD_PERIOD s, as records."""
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "start.scn").write_text(text)
    count = int(seconds // RECORD_PERIOD)
    (folder / "saves.txt").write_text("".join(f"{k * RECORD_PERIOD:.0f} save s{k:06d}.scn\n" for k in range(1, count + 1)))
    subprocess.run([zolksim, "start.scn", "--seconds", f"{seconds:.0f}", "--step", f"{ZOLKSIM_STEP}",
                    "--script", "saves.txt", "--out", "out", "--quiet"], cwd=folder, check=True)
    records, gm = [], None
    for k in range(1, count + 1):
        records.append(read_save(folder / "out" / f"s{k:06d}.scn", k * RECORD_PERIOD))
        if gm is None:
            gm = earth_gm(folder / "out" / f"s{k:06d}.scn")
    return records, gm


def earth_gm(path):
    for line in path.read_text().splitlines():
        fields = line.split()
        if len(fields) > 2 and fields[0] == "BODY" and fields[1] == "Earth":
            return float(fields[2])
    return fl.EARTH_GM


def read_save(path, t):
    lines = path.read_text().splitlines()
    start = lines.index("GL-01")
    r = v = None
    main, level, ref = 0.0, 0.0, None
    for line in lines[start + 1:]:
        fields = line.split()
        if not fields:
            continue
        if fields[0] == "END":
            break
        if fields[0] == "REF":
            ref = fields[1]
        elif fields[0] == "RPOS":
            r = tuple(float(x) for x in fields[1:4])
        elif fields[0] == "RVEL":
            v = tuple(float(x) for x in fields[1:4])
        elif fields[0] == "TANK":
            main = float(fields[2])
        elif fields[0] == "THRUSTER":
            level = float(fields[10])
    if ref != "Earth":
        raise ValueError(f"{path}: GL-01 saved relative to {ref}, not Earth")
    return fl.Record(t, ZOLKSIM_STEP, 1, "GL-01", r, v, level, main, main, 0.0, 0.0, 0.0, (1, 0, 0, 0, 1, 0, 0, 0, 1))


def burns(records):
    """(start, end, propellant, host step at the start, at the end) of each
    complete burn; start and end halfway between the records on either side
    of the switch, the step the larger of those two records' steps."""
    out, begin, before, step = [], None, None, None
    for p, q in zip(records, records[1:]):
        if p.level <= 0.5 < q.level:
            begin, before, step = (p.t + q.t) / 2, p.main, max(p.step, q.step)
        elif p.level > 0.5 >= q.level and begin is not None:
            out.append((begin, (p.t + q.t) / 2, before - q.main, step, max(p.step, q.step)))
            begin = None
    return out


def coasts(records, gm):
    """Periapsis and apoapsis radius (m) in the middle of each coast between
    two burns, and the spread of each within the coast (m)."""
    out, run = [], []
    for rec in records + [None]:
        if rec is not None and rec.level <= 0.5:
            run.append(rec)
            continue
        if len(run) >= 5:
            orbits = [fl.orbit(x.r, x.v, gm) for x in run[1:-1]]
            mid = orbits[len(orbits) // 2]
            spread = max(max(o.periapsis for o in orbits) - min(o.periapsis for o in orbits),
                         max(o.apoapsis for o in orbits) - min(o.apoapsis for o in orbits))
            out.append((run[len(run) // 2].t, mid.periapsis, mid.apoapsis, spread))
        run = []
    return out


def compare(orbits_dir, zolksim, start_mjd, folder):
    """(text, within tolerance, one-line summary)."""
    if not (orbits_dir / "zolk-genuine.log").exists():
        return "no orbits flight to compare", False, "no orbits flight"
    records, _ = fl.read(orbits_dir / "zolk-genuine.log")
    records = [r for r in records if r.vessel == "GL-01"]
    if len(records) < 100:
        return "no orbits flight to compare", False, "no orbits flight"
    first = records[0]
    settled = [r.step for r in records if r.tacc >= 99]
    dt_g = statistics.median(settled) if settled else max(r.step for r in records)
    step_max = max(settled) if settled else dt_g
    seconds = records[-1].t - first.t
    z_records, z_gm = fly_zolksim(str(pathlib.Path(zolksim).resolve()), scenario(first, start_mjd), seconds, folder)
    z_records = [fl.Record(first.t + r.t, r.step, r.tacc, r.vessel, r.r, r.v, r.level, r.prop, r.main, r.mass,
                           r.thrust, r.isp, r.rot) for r in z_records]
    g_burns, z_burns = burns(records), burns(z_records)
    g_coasts, z_coasts = coasts(records, fl.EARTH_GM), coasts(z_records, z_gm)

    # Tolerances from the two integrators. The genuine host switches the
    # engines at its first frame past the window's edge (frame step dt_g, up to
    # step_max at 100x), zolksim at its first 1 s step: an edge differs by up to
    # step_max + 1 s, and is read from records 10 s apart on each side (half
    # a period each). A burn's length, and so its propellant and delta-v,
    # differs by up to two edges; the delta-v difference changes the period,
    # which moves every later edge.
    flow = first.thrust / first.isp                          # kg/s
    accel = first.thrust / first.mass                        # m/s^2
    edge_reading = RECORD_PERIOD                             # s (two half periods)
    rows, ok = [], True
    drift = 0.0
    n = min(len(g_burns), len(z_burns))
    steps = []
    for k in range(n):
        gs, ge, gp, step_s, step_e = g_burns[k]
        zs, ze, zp, _, _ = z_burns[k]
        # The host's frame at each edge, as recorded beside it, and zolksim's step.
        quantum_s, quantum_e = step_s + ZOLKSIM_STEP, step_e + ZOLKSIM_STEP
        steps += [step_s, step_e]
        edge_quantum = max(quantum_s, quantum_e)
        tol_t = edge_reading + edge_quantum + drift
        tol_p = flow * (quantum_s + quantum_e + drift)
        good = abs(gs - zs) <= tol_t and abs(ge - ze) <= tol_t and abs(gp - zp) <= tol_p
        ok &= good
        rows.append(f"| {k + 1} | {gs:9.0f} | {zs:9.0f} | {ge:9.0f} | {ze:9.0f} | {gp:8.3f} | {zp:8.3f} "
                    f"| ±{tol_t:.0f} s, ±{tol_p:.3f} kg | {'yes' if good else 'NO'} |")
        # The period's change from a delta-v difference of accel * 2 edges.
        o = fl.orbit(records[0].r, records[0].v)
        dv = accel * (quantum_s + quantum_e)
        da = 2 * o.a ** 2 * math.sqrt(fl.EARTH_GM / o.a) * dv / fl.EARTH_GM
        drift += 1.5 * o.period * da / o.a
    burn_rows = "\n".join(rows)
    gain_rows = []
    m = min(len(g_coasts), len(z_coasts))
    nose, _ = fl.orbit_frame_axes(first)                 # forward, side, up
    tilt = abs(nose[2]) / max(abs(nose[0]), 1e-3)        # tan of the nose's in-plane angle from prograde
    start_orbit = fl.orbit(first.r, first.v)
    omega = math.sqrt(fl.EARTH_GM * start_orbit.a * (1 - start_orbit.e ** 2)) / start_orbit.periapsis ** 2  # rad/s at periapsis
    for k in range(1, m):
        g_pe = g_coasts[k][1] - g_coasts[k - 1][1]
        z_pe = z_coasts[k][1] - z_coasts[k - 1][1]
        g_ap = g_coasts[k][2] - g_coasts[k - 1][2]
        z_ap = z_coasts[k][2] - z_coasts[k - 1][2]
        if k - 1 < len(g_burns):
            burn = g_burns[k - 1]
            # The delta-v's relative difference: the two edges' steps over the
            # burn, and the hold's lag. The genuine host renews the attitude once
            # a frame, and the orbit frame turns by up to omega * dt before the
            # next, turning the thrust in the orbit plane by that angle: the
            # prograde share of that frame's thrust changes by tan(tilt) times
            # it. Over the burn: tan(tilt) omega sum(dt^2) / sum(dt), the sum of
            # squares taken from the records (one every 10 s, or one per frame
            # when a frame is longer).
            inside = [r.step for r in records if burn[0] < r.t < burn[1]]
            squares = sum(dt * max(dt, RECORD_PERIOD) for dt in inside)
            lag = tilt * omega * squares / (burn[1] - burn[0])
            share = (burn[3] + burn[4] + 2 * ZOLKSIM_STEP) / (burn[1] - burn[0]) + lag
        else:
            share = 1.0
        spread = max(g_coasts[k][3], g_coasts[k - 1][3], z_coasts[k][3], z_coasts[k - 1][3])
        tol_pe = abs(g_pe) * share + 2 * spread
        tol_ap = abs(g_ap) * share + 2 * spread
        good = abs(g_pe - z_pe) <= tol_pe and abs(g_ap - z_ap) <= tol_ap
        ok &= good
        gain_rows.append(f"| {k} → {k + 1} | {g_pe / 1e3:8.3f} | {z_pe / 1e3:8.3f} | ±{tol_pe / 1e3:.3f} "
                         f"| {g_ap / 1e3:8.3f} | {z_ap / 1e3:8.3f} | ±{tol_ap / 1e3:.3f} | {'yes' if good else 'NO'} |")
    ok &= n >= 2 and m >= 2
    text = f"""Genuine host vs zolksim, the orbits flight ({seconds:.0f} s from the same start state; genuine frame
step at 100x: median {dt_g:.2f} s, largest {step_max:.2f} s; zolksim step {ZOLKSIM_STEP:.0f} s; records every
{RECORD_PERIOD:.0f} s on both sides; flow {flow:.5f} kg/s, acceleration {accel:.4f} m/s² at the start)

| burn | start genuine (s) | start zolksim | end genuine | end zolksim | propellant genuine (kg) | zolksim | tolerance | within |
|---|---|---|---|---|---|---|---|---|
{burn_rows}

| coasts | periapsis gain genuine (km) | zolksim | tolerance | apoapsis gain genuine (km) | zolksim | tolerance | within |
|---|---|---|---|---|---|---|---|
{chr(10).join(gain_rows)}

Tolerances: an edge of the burn window, read from records {RECORD_PERIOD:.0f} s apart on each side, is
known to ±{RECORD_PERIOD / 2:.0f} s per host; the genuine host switches at its first frame past the edge
(up to its frame step at that edge, {min(steps, default=0):.2f} to {max(steps, default=0):.2f} s here), zolksim at its first
step (up to {ZOLKSIM_STEP:.0f} s): an edge may differ by the two readings plus those two steps, plus the
period's drift from earlier burns' delta-v differences (each burn up to its two edges' steps at
{accel:.4f} m/s²). Propellant: the flow over the two edges' steps and the drift. Gains: the same share of the burn's delta-v, and the hold's lag in the genuine host:
it renews the attitude once a frame, so the thrust turns with the orbit frame (up to
{omega * 1e3:.3f} mrad/s at periapsis) up to a frame late, which changes the prograde share of a thrust
tilted {math.degrees(math.atan(tilt)):.1f} deg from prograde in the orbit plane by tan(tilt) × omega × dt in each
frame dt (summed over the burn's frames as the records show them, the longest {step_max:.1f} s); plus twice the largest spread of the elements within a coast (the Sun's
and the Moon's tides, and each integrator's own error)."""
    summary = (f"{n} burns and {max(m - 1, 0)} coast-to-coast gains compared; "
               f"{'all' if ok else 'NOT all'} within tolerance (genuine frame step {dt_g:.2f} s)")
    return text, ok, summary
