"""The genuine-host flight's analysis (tests/genuine_host): orbit elements
against closed-form references, the burn window's edges, the frame change to
zolksim, and how burns and coasts are read from records."""
import math
import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import flight_log as fl  # noqa: E402
import zolksim_compare as zc  # noqa: E402
import analyse  # noqa: E402

GM = fl.EARTH_GM


def record(t, r, v, level=0.0, main=100.0):
    return fl.Record(t, 1.0, 100, "GL-01", r, v, level, main, main, 1000.0, 10.0, 1000.0, (1, 0, 0, 0, 1, 0, 0, 0, 1))


def state_at(a, e, mean_anomaly):
    """Position and velocity on an ellipse in the x-z plane (reference: Kepler's
    equation solved by Newton's method, perifocal formulas)."""
    big_e = mean_anomaly
    for _ in range(50):
        big_e -= (big_e - e * math.sin(big_e) - mean_anomaly) / (1 - e * math.cos(big_e))
    nu = 2 * math.atan2(math.sqrt(1 + e) * math.sin(big_e / 2), math.sqrt(1 - e) * math.cos(big_e / 2))
    p = a * (1 - e * e)
    r = p / (1 + e * math.cos(nu))
    h = math.sqrt(GM * p)
    return ((r * math.cos(nu), 0.0, r * math.sin(nu)),
            (-GM / h * math.sin(nu), 0.0, GM / h * (e + math.cos(nu))))


class OrbitElements(unittest.TestCase):
    def test_ellipse_read_back_at_several_anomalies(self):
        a, e = 7.2e6, 0.05
        for mean in (0.3, 1.0, 2.5, 4.0, 5.9):
            r, v = state_at(a, e, mean)
            o = fl.orbit(r, v)
            self.assertAlmostEqual(o.a, a, delta=1e-3)
            self.assertAlmostEqual(o.e, e, delta=1e-10)
            self.assertAlmostEqual(o.mean_anomaly, mean, delta=1e-9)
            self.assertAlmostEqual(o.periapsis, a * (1 - e), delta=1e-3)
            self.assertAlmostEqual(o.apoapsis, a * (1 + e), delta=1e-3)
            self.assertAlmostEqual(o.period, 2 * math.pi * math.sqrt(a ** 3 / GM), delta=1e-6)

    def test_escape_has_no_window(self):
        o = fl.orbit((7e6, 0, 0), (0, 0, 12000.0))
        self.assertTrue(math.isnan(o.mean_anomaly))
        self.assertFalse(fl.in_burn_window(o))

    def test_window_is_the_third_around_periapsis(self):
        a, e = 7.2e6, 0.05
        inside = [0.01, 59.9, 300.1, 359.9]
        outside = [60.1, 180.0, 299.9]
        for degrees in inside + outside:
            o = fl.orbit(*state_at(a, e, math.radians(degrees)))
            self.assertEqual(fl.in_burn_window(o), degrees in inside, degrees)
        o = fl.orbit(*state_at(a, e, math.radians(61.0)))
        self.assertAlmostEqual(fl.window_edge_distance(o), o.period / 360, delta=1e-6)

    def test_orbit_frame_of_a_prograde_nose(self):
        r, v = state_at(7.2e6, 0.0, 1.0)
        f = fl.unit(v)
        rec = record(0, r, v)
        rec.rot = (0, 0, f[0], 0, 1, f[1], 0, 0, f[2])   # nose column = velocity
        nose, _ = fl.orbit_frame_axes(rec)
        self.assertAlmostEqual(nose[0], 1.0, places=12)
        self.assertAlmostEqual(fl.angle_between((1, 0, 0), (0, 1, 0)), 90.0, places=9)


class ZolksimFrame(unittest.TestCase):
    def test_rotation_stays_proper_and_keeps_nose_and_up(self):
        c, s = math.cos(0.4), math.sin(0.4)
        rot = (c, 0, s, 0, 1, 0, -s, 0, c)   # a rotation about y, rows
        z = zc.zolksim_rotation(rot)
        rows = [z[0:3], z[3:6], z[6:9]]
        det = (rows[0][0] * (rows[1][1] * rows[2][2] - rows[1][2] * rows[2][1])
               - rows[0][1] * (rows[1][0] * rows[2][2] - rows[1][2] * rows[2][0])
               + rows[0][2] * (rows[1][0] * rows[2][1] - rows[1][1] * rows[2][0]))
        self.assertAlmostEqual(det, 1.0, places=12)
        nose = (rot[2], rot[5], rot[8])
        self.assertEqual((z[2], z[5], z[8]), zc.swap(nose))
        self.assertEqual((z[1], z[4], z[7]), zc.swap((rot[1], rot[4], rot[7])))

    def test_scenario_carries_the_start_state(self):
        rec = record(20.0, (1.0, 2.0, 3.0), (4.0, 5.0, 6.0), main=300.0)
        text = zc.scenario(rec, 60000.0)
        self.assertIn("RPOS 1.000 3.000 2.000", text)
        self.assertIn("RVEL 4.000000 6.000000 5.000000", text)
        self.assertIn("DATE MJD 60000.0002314815", text)
        self.assertIn("EMPTY_MASS 700.000000", text)
        self.assertIn("NONSPHERICAL_GRAVITY OFF", text)
        self.assertEqual(text.count("THRUSTER 0 0 -5 0 0 1 5.000000 1000.000000 0 0"), 2)


class BurnsAndCoasts(unittest.TestCase):
    def test_burns_start_and_end_halfway_and_count_propellant(self):
        levels = [0, 0, 1, 1, 1, 0, 0, 1, 1]
        mains = [100, 100, 99, 98, 97, 96.5, 96.5, 96, 95]
        recs = [record(10.0 * i, (7e6, 0, 0), (0, 0, 7500), lv, m) for i, (lv, m) in enumerate(zip(levels, mains))]
        recs[4].step = 3.0
        self.assertEqual(zc.burns(recs), [(15.0, 45.0, 3.5, 1.0, 3.0)])   # the last burn has no end: left out

    def test_coast_reads_elements_mid_coast(self):
        a, e = 7.2e6, 0.05
        period = 2 * math.pi * math.sqrt(a ** 3 / GM)
        recs = [record(t, *state_at(a, e, 2 * math.pi * t / period), level=0.0) for t in range(0, 600, 10)]
        recs.append(record(600, *state_at(a, e, 2 * math.pi * 600 / period), level=1.0))
        [(t, pe, ap, spread)] = zc.coasts(recs, GM)
        self.assertEqual(t, 300)
        self.assertAlmostEqual(pe, a * (1 - e), delta=1e-2)
        self.assertAlmostEqual(ap, a * (1 + e), delta=1e-2)
        self.assertLess(spread, 1e-2)



class PilotTimeline(unittest.TestCase):
    MARKS = [(0.0, "start"), (0.0, "done mark start; tacc 100; "), (100.0, "key Shift+k"), (103.0, "key done"),
             (200.0, "button Left ABP"), (204.0, "button done"), (300.0, "key Shift+a"), (303.0, "key done"),
             (400.0, "button Right ATT"), (404.0, "button done"), (500.0, "key Shift+v"), (505.0, "entered Moon"),
             (506.0, "box done"), (600.0, "button Right VES"), (605.0, "entered GL-02"), (606.0, "button done")]

    def test_settled_spans_leave_out_each_action(self):
        spans = analyse.segments(self.MARKS)
        self.assertEqual([(b, e) for b, e, _ in spans],
                         [(0.0, 100.0), (103.0, 200.0), (204.0, 300.0), (303.0, 400.0), (404.0, 500.0),
                          (506.0, 600.0), (606.0, float("inf"))])

    def test_keys_and_buttons_toggle_and_boxes_switch(self):
        state = analyse.pilot_state(self.MARKS)
        self.assertEqual(state(50), {"vessel": "GL-01", "abp": True, "att": True, "ref": "Earth"})
        self.assertFalse(state(150)["abp"])
        self.assertTrue(state(250)["abp"])
        self.assertFalse(state(350)["att"])
        self.assertTrue(state(450)["att"])
        self.assertEqual(state(550)["ref"], "Moon")
        self.assertEqual(state(650)["vessel"], "GL-02")

    def test_display_blocks_and_values(self):
        import tempfile
        with tempfile.NamedTemporaryFile("w", suffix=".scn", delete=False) as f:
            f.write("BEGIN_MFD Left\r\n  TYPE User\r\n  MODE ZOLKMFD\r\n  VES GL-02\r\nEND_MFD\r\n"
                    "BEGIN_MFD Right\n  TYPE Orbit\nEND_MFD\n")
        blocks = analyse.display_blocks(f.name)
        self.assertEqual(analyse.block_value(blocks["Left"], "VES"), "GL-02")
        self.assertEqual(analyse.block_value(blocks["Right"], "MODE"), None)
        self.assertEqual(sorted(blocks), ["Left", "Right"])



class FlightChecks(unittest.TestCase):
    """The checks on synthetic records of one orbit: engines on exactly in the
    window with the burn on, frozen at their level with it off; the hold's
    deviation in the orbit frame; the flow over a burn."""
    A, E = 7.2e6, 0.05

    def orbit_records(self, level_of, nose_of=None, main_of=None):
        period = 2 * math.pi * math.sqrt(self.A ** 3 / GM)
        out = []
        for t in range(0, int(period), 10):
            r, v = state_at(self.A, self.E, 2 * math.pi * t / period)
            o = fl.orbit(r, v)
            rec = record(float(t), r, v, level_of(t, o), main_of(t) if main_of else 100.0)
            f = fl.unit(v)
            rec.rot = nose_of(t, f) if nose_of else (0, 0, f[0], 0, 1, f[1], 0, 0, f[2])
            out.append(rec)
        return out

    def test_window_check_counts_every_record_and_each_fault(self):
        on = lambda: {"vessel": "GL-01", "abp": True, "att": True, "ref": "Earth"}
        good = self.orbit_records(lambda t, o: 1.0 if fl.in_burn_window(o) else 0.0)
        agree, total, _ = analyse.window_check(good, [(-1, 1e9, "start")], lambda t: on())
        self.assertEqual((agree, total), (len(good), len(good)))
        late = self.orbit_records(lambda t, o: 1.0 if fl.in_burn_window(o) and t > 200 else 0.0)
        agree, total, _ = analyse.window_check(late, [(-1, 1e9, "start")], lambda t: on())
        self.assertEqual(total - agree, sum(1 for r in late if r.t <= 200))

    def test_burn_off_expects_the_level_it_was_left_at(self):
        off = lambda t: {"vessel": "GL-01", "abp": False, "att": True, "ref": "Earth"}
        stuck = self.orbit_records(lambda t, o: 1.0)
        agree, total, _ = analyse.window_check(stuck, [(-1, 1e9, "k")], off)
        self.assertEqual(agree, total)
        windowed = self.orbit_records(lambda t, o: 1.0 if fl.in_burn_window(o) else 0.0)
        agree, total, _ = analyse.window_check(windowed, [(-1, 1e9, "k")], off)
        self.assertLess(agree, total)

    def test_hold_measures_the_turn_in_the_orbit_frame(self):
        state = lambda t: {"vessel": "GL-01", "abp": True, "att": True, "ref": "Earth"}
        held = self.orbit_records(lambda t, o: 0.0)
        worst, spans = analyse.hold_check(held, [(-1, 1e9, "start")], state, True)
        self.assertEqual(spans, 1)
        self.assertLess(worst, 1e-6)
        fixed = self.orbit_records(lambda t, o: 0.0, nose_of=lambda t, f: (0, 0, 0, 0, 1, 0, 0, 0, 1))
        worst, _ = analyse.hold_check(fixed, [(-1, 1e9, "start")], state, True)
        self.assertGreater(worst, 90)   # an inertially fixed nose turns right round in the orbit frame

    def test_flow_over_a_burn_and_its_lag_tolerance(self):
        state = lambda t: {"vessel": "GL-01", "abp": True, "att": True, "ref": "Earth"}
        recs = self.orbit_records(lambda t, o: 1.0 if 100 <= t <= 400 else 0.0, main_of=lambda t: 500 - 0.05 * t)
        [(flow, expected, tolerance)] = analyse.flow_check(recs, [(-1, 1e9, "start")], state)
        self.assertAlmostEqual(flow, 0.05, places=9)
        self.assertAlmostEqual(expected, 10.0 / 1000.0)
        self.assertAlmostEqual(tolerance, 2.0 / 280 + 0.002)


if __name__ == "__main__":
    unittest.main()
