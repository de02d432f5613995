#!/usr/bin/env python3
"""The checks of scripts/test-genuine-host, from what its flights left in
OUT/pilot, OUT/reload and OUT/orbits, printed as a table and written to
OUT/table.md with the orbit-by-orbit comparison with zolksim. Exit status 1
when a check fails."""
import argparse
import pathlib
import re
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import flight_log as fl  # noqa: E402
import zolksim_compare  # noqa: E402

START = {"thrust": 1800.0, "isp": 36000.0}


def display_blocks(path):
    """The saved scenario's display blocks, by position, as lists of lines."""
    blocks, current, name = {}, None, None
    for line in pathlib.Path(path).read_text(errors="replace").splitlines():
        if line.startswith("BEGIN_MFD"):
            name, current = line.split()[1], []
        elif line.startswith("END_MFD") and current is not None:
            blocks[name] = [x.strip() for x in current]
            current = None
        elif current is not None:
            current.append(line)
    return blocks


def block_value(block, key):
    for line in block:
        fields = line.split()
        if fields and fields[0] == key:
            return " ".join(fields[1:])
    return None


class Table:
    def __init__(self):
        self.rows = []

    def add(self, check, passed, measured):
        self.rows.append((check, "pass" if passed else "FAIL", measured))

    def text(self):
        width = max(len(r[0]) for r in self.rows)
        lines = [f"| {'check':{width}} | result | measured |", f"|{'-' * (width + 2)}|--------|----------|"]
        lines += [f"| {c:{width}} | {p:6} | {m} |" for c, p, m in self.rows]
        return "\n".join(lines)

    def failed(self):
        return any(r[1] == "FAIL" for r in self.rows)


def segments(marks):
    """(start, end, label) between one settled mark ('... done', 'start') and
    the next action's first mark: the spans in which nothing is being changed."""
    spans, begin, label = [], None, "start"
    for t, text in marks:
        if text.startswith("done"):
            continue
        if text in ("start", "key done", "box done", "button done", "displays done", "quicksaved"):
            begin = t
            continue
        if begin is not None:
            spans.append((begin, t, label))
            begin = None
        label = text
    if begin is not None:
        spans.append((begin, float("inf"), label))
    return spans


def mark_time(marks, label, occurrence=1):
    seen = 0
    for t, text in marks:
        if text == label:
            seen += 1
            if seen == occurrence:
                return t
    return None


def record_at(records, vessel, t):
    """The record of the vessel written at the mark at time t."""
    near = [r for r in records if r.vessel == vessel and abs(r.t - t) < 1e-6]
    return near[-1] if near else None


def pilot_state(marks):
    """The page's state the pilot flight's actions leave, as a function of the
    time: which vessel it controls, burn and hold on or off, reference body."""
    changes = [(0.0, {"vessel": "GL-01", "abp": True, "att": True, "ref": "Earth"})]
    k_seen = a_seen = 0
    for t, text in marks:
        if text == "key Shift+k" or (text.startswith("button ") and text.endswith(" ABP")):
            k_seen += 1
            changes.append((t, {"abp": k_seen % 2 == 0}))
        elif text == "key Shift+a" or (text.startswith("button ") and text.endswith(" ATT")):
            a_seen += 1
            changes.append((t, {"att": a_seen % 2 == 0}))
        elif text == "entered Moon":
            changes.append((t, {"ref": "Moon"}))
        elif text == "entered Earth":
            changes.append((t, {"ref": "Earth"}))
        elif text in ("entered GL-01", "entered GL-02"):
            changes.append((t, {"vessel": text.split()[1]}))

    def at(time):
        state = {}
        for t, change in changes:
            if t <= time:
                state.update(change)
        return state
    return at


def window_check(records, spans, state):
    """Records in settled spans, of the controlled vessel with reference Earth:
    (agreeing, total, disagreeing within a frame of the window's edge). With
    the burn on, the engines must be on exactly inside the window; with it off,
    at the level they had when it was switched off."""
    agree = total = edge = 0
    for begin, end, _ in spans:
        for rec in records:
            if not begin < rec.t < end:
                continue
            s = state(rec.t)
            if rec.vessel != s["vessel"] or s["ref"] != "Earth":
                continue
            o = fl.orbit(rec.r, rec.v)
            # Switched off, the burn commands nothing: the engines keep the
            # level they had when it was switched off (the span's first record).
            if s["abp"]:
                expected = fl.in_burn_window(o)
            else:
                expected = next(r for r in records if begin < r.t and r.vessel == rec.vessel).level > 0.5
            total += 1
            if (rec.level > 0.5) == expected:
                agree += 1
            elif fl.window_edge_distance(o) <= rec.step * 1.5:
                edge += 1
    return agree, total, edge


def hold_check(records, spans, state, hold_on):
    """Worst deviation (degrees) of the nose and up axes in the orbit frame
    from the first record of each settled span with the hold on (off: the
    smallest such drift at the span's end), and the spans' count."""
    worst, count = None, 0
    for begin, end, _ in spans:
        seg = [r for r in records if begin < r.t < end and r.vessel == state(r.t)["vessel"]
               and state(r.t)["att"] == hold_on and state(r.t)["ref"] == "Earth"]
        if len(seg) < 3:
            continue
        count += 1
        nose0, up0 = fl.orbit_frame_axes(seg[0])
        if hold_on:
            dev = max(max(fl.angle_between(n, nose0), fl.angle_between(u, up0))
                      for n, u in (fl.orbit_frame_axes(r) for r in seg))
            worst = dev if worst is None else max(worst, dev)
        else:
            nose1, _ = fl.orbit_frame_axes(seg[-1])
            drift = fl.angle_between(nose1, nose0)
            worst = drift if worst is None else min(worst, drift)
    return worst, count


def flow_check(records, spans, state):
    """Per settled span with a burn of at least ten records: (propellant flow
    over the whole burn, thrust/ISP, relative tolerance) of the controlled
    vessel, kg/s. Taken over
    the burn, not record by record: a record's time and its propellant may be
    a frame apart."""
    out = []
    for begin, end, _ in spans:
        seg = [r for r in records if begin < r.t < end and r.vessel == state(r.t)["vessel"]]
        runs, run = [], []
        for r in seg + [None]:
            if r is not None and r.level > 0.5:
                run.append(r)
            else:
                if len(run) >= 10:
                    runs.append(run)
                run = []
        for run in runs:
            first, last = run[1], run[-2]     # within the burn on both sides
            if last.t > first.t:
                # A record's propellant may lag its time by up to a frame at either end.
                tolerance = (first.step + last.step) / (last.t - first.t) + 0.002
                out.append(((first.main - last.main) / (last.t - first.t), last.thrust / last.isp, tolerance))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, type=pathlib.Path)
    parser.add_argument("--zolksim", required=True)
    parser.add_argument("--start-mjd", type=float, required=True)
    parser.add_argument("--wall", type=float, default=0.0)
    options = parser.parse_args()
    out = options.out
    table = Table()

    pilot_dir = out / "pilot"
    orbiter_log = (pilot_dir / "Orbiter.log").read_text(errors="replace") if (pilot_dir / "Orbiter.log").exists() else ""
    loaded = [line.strip() for line in orbiter_log.splitlines() if "ZolkMFD" in line]
    table.add("module loaded (Orbiter.log)", any("Module ZolkMFD.dll" in l for l in loaded),
              "; ".join(loaded)[:160] or "no line")

    records, marks = fl.read(pilot_dir / "zolk-genuine.log")
    # The keys' part of the flight: up to the first button. What each button
    # did is read from the records and saves after it, not assumed.
    first_button = min((t for t, text in marks if text.startswith("button ")), default=float("inf"))
    all_spans = segments(marks)
    spans = [(b, min(e, first_button), l) for b, e, l in all_spans if b < first_button]
    state = pilot_state([m for m in marks if m[0] < first_button])

    # Exceptions: the +seh trace of every flight.
    # Wine's own RPC notices at start-up (code 6ba, the service manager it has
    # not got) are not faults; an access violation (c0000005) or a C++
    # exception (e06d7363, as the host's dynamic_cast throws on a page without
    # type information) is.
    raised, notices = {}, {}
    for name in ("pilot", "reload", "orbits"):
        seh = out / name / "seh.txt"
        lines = seh.read_text(errors="replace").splitlines() if seh.exists() else []
        codes = re.findall(r"dispatch_exception code=([0-9a-fA-F]+)", "\n".join(lines))
        raised[name] = [c for c in codes if c.lower() != "6ba"] if seh.exists() else ["no trace"]
        notices[name] = len(codes) - len(raised[name]) if seh.exists() else 0
    saved = display_blocks(pilot_dir / "saved.scn") if (pilot_dir / "saved.scn").exists() else {}
    reload_dir = out / "reload"
    loaded = display_blocks(reload_dir / "quicksave.scn") if (reload_dir / "quicksave.scn").exists() else {}
    _, reload_marks = fl.read(reload_dir / "zolk-genuine.log") if (reload_dir / "zolk-genuine.log").exists() else ([], [])
    closed = mark_time(reload_marks, "displays closed") is not None
    closed_saved = display_blocks(reload_dir / "saved.scn") if (reload_dir / "saved.scn").exists() else {}
    now_orbit = all(block_value(closed_saved.get(p, []), "TYPE") == "Orbit" for p in ("Left", "Right"))
    on_both = all(block_value(b.get(p, []), "MODE") == "ZOLKMFD" for b in (saved, loaded) for p in ("Left", "Right"))
    table.add("page opened and closed on both displays, no exception (+seh)",
              closed and now_orbit and on_both and not any(raised.values()),
              f"opened on both at the start, closed on exit, opened on both when the save was loaded "
              f"({'both' if on_both else 'NOT both'} saved with it), closed on both by switching to Orbit "
              f"({'done' if now_orbit else 'NOT done'}); exceptions (pilot, reload, orbits): "
              + ", ".join(f"{len(v)}" for v in raised.values()) + f" (Wine's RPC notices: {sum(notices.values())})")

    agree, total, edge = window_check(records, spans, state)
    table.add("main engines follow the burn window in every logged record", total > 0 and agree == total,
              f"{agree} of {total} records (controlled vessel, reference Earth, settled spans)"
              + (f"; {edge} of the others within a frame of the window's edge" if agree != total else ""))

    held, spans_on = hold_check(records, spans, state, True)
    table.add("hold keeps the captured attitude in the orbit frame", held is not None and held < 0.5,
              f"worst deviation {held:.4f} deg over {spans_on} spans" if held is not None else "no span")

    # The keys (on either display), then the buttons of the left display.
    def value_at(label, vessel, field):
        t = mark_time(marks, label)
        rec = record_at(records, vessel, t) if t is not None else None
        return getattr(rec, field) if rec else None

    def off_span(off_label, on_label, off_occurrence=1, on_occurrence=1):
        off_t, on_t = mark_time(marks, off_label, off_occurrence), mark_time(marks, on_label, on_occurrence)
        if off_t is None or on_t is None:
            return []
        vessel = state(off_t)["vessel"]
        return [r for r in records if off_t + 30 < r.t < on_t and r.vessel == vessel]

    def burn_switch_row(title, off_label, on_label, off_occurrence=1, on_occurrence=1):
        span = off_span(off_label, on_label, off_occurrence, on_occurrence)
        levels = sorted({round(r.level, 4) for r in span})
        outside = [r for r in span if not fl.in_burn_window(fl.orbit(r.r, r.v))]
        inside = [r for r in span if fl.in_burn_window(fl.orbit(r.r, r.v))]
        table.add(title, len(levels) == 1 and bool(outside or inside),
                  f"level {levels} through {len(span)} records while off ({len(inside)} inside the window, "
                  f"{len(outside)} outside); on again: in the window check")

    def hold_switch_row(title, off_label, on_label, off_occurrence=1, on_occurrence=1):
        span = off_span(off_label, on_label, off_occurrence, on_occurrence)
        on_t = mark_time(marks, on_label, on_occurrence)
        after = [r for r in records if on_t is not None and on_t + 10 < r.t < on_t + 1000
                 and r.vessel == state(on_t)["vessel"]]
        if len(span) < 3 or len(after) < 3:
            table.add(title, False, "no records")
            return
        turned = fl.angle_between(fl.orbit_frame_axes(span[0])[0], fl.orbit_frame_axes(span[-1])[0])
        kept = max(fl.angle_between(fl.orbit_frame_axes(after[0])[0], fl.orbit_frame_axes(r)[0]) for r in after)
        table.add(title, turned > 5 and kept < 0.5,
                  f"nose turned {turned:.1f} deg in the orbit frame while off; held to {kept:.4f} deg after")

    burn_switch_row("K key (right display): burn off, the engines keep their level; K (left): on again",
                    "key Shift+k", "key Shift+k", 1, 2)
    hold_switch_row("A key (left): hold off, the attitude turns in the orbit frame; A (right): held anew",
                    "key Shift+a", "key Shift+a", 1, 2)

    def box_row(title, start_label, vessel, field, refused, taken, unit):
        before = value_at(start_label, vessel, field)
        after_refused = value_at(f"entered {refused}", vessel, field) if refused else before
        after_taken = value_at(f"entered {taken}", vessel, field)
        good = (before is not None and after_refused is not None and after_taken is not None
                and abs(after_refused - before) < 1e-6 and abs(after_taken - float(taken)) < 1e-6)
        table.add(title, good, f"{vessel}: {before} {unit} before"
                               + (f", {after_refused} after '{refused}'" if refused else "")
                               + f", {after_taken} after '{taken}'")

    box_row("N key, thrust box: refused entry kept the box open and changed nothing; number taken",
            "key Shift+n", "GL-01", "thrust", "ten", "2500", "N")
    box_row("M key, ISP box: refused entry kept the box open and changed nothing; number taken",
            "key Shift+m", "GL-01", "isp", "-5", "30000", "N*s/kg")

    quick_moon = display_blocks(pilot_dir / "quick-moon.scn") if (pilot_dir / "quick-moon.scn").exists() else {}
    quick_earth = display_blocks(pilot_dir / "quick-earth.scn") if (pilot_dir / "quick-earth.scn").exists() else {}
    refs = [block_value(b.get(p, []), "RBD") for b in (quick_moon, quick_earth) for p in ("Left", "Right")]
    table.add("V key, reference box: 'Vulcan' refused, the box open; Moon taken; V (right): Earth taken",
              refs == ["Moon", "Moon", "Earth", "Earth"], f"RBD in the two quicksaves (left, right): {refs}")

    switched = mark_time(marks, "entered GL-02")
    back = mark_time(marks, "entered GL-01")
    gl02_spans = [(b, min(e, back or e), l) for b, e, l in spans if switched and b > switched and (back is None or b < back)]
    agree2, total2, _ = window_check(records, gl02_spans, state)
    gl02_thrust = value_at("entered 1500", "GL-02", "thrust")
    table.add("B key, vessel box: 'GL-99' refused, the box open; GL-02 taken and flown; N (right): its thrust",
              total2 > 0 and agree2 == total2 and gl02_thrust is not None and abs(gl02_thrust - 1500) < 1e-6,
              f"GL-02's engines in the window in {agree2} of {total2} records; its thrust after '1500': {gl02_thrust} N")

    flows = flow_check(records, spans, state)
    flow_ok = bool(flows) and all(abs(m / e - 1) <= tol for m, e, tol in flows)
    table.add("propellant flow of each burn = thrust / ISP (within two frames' lag)", flow_ok,
              "; ".join(f"{m:.5f} vs {e:.5f} kg/s (±{tol * 100:.1f} %)" for m, e, tol in flows) or "no burn")

    # The buttons of the left display: each row says whether the host passed
    # the click on, from what changed after it.
    final_vessel = block_value(saved.get("Left", []), "VES")
    table.add("VES button: box opened, GL-01 taken", final_vessel == "GL-01", f"VES at the end {final_vessel}")
    controlled = final_vessel or "GL-02"
    thrust_taken = value_at("entered 2000", controlled, "thrust")
    isp_taken = value_at("entered 33000", controlled, "isp")
    table.add("ENG button: box opened, 2000 N taken", thrust_taken == 2000,
              f"{controlled}'s thrust after '2000': {thrust_taken} N")
    table.add("ISP button: box opened, 33000 taken", isp_taken == 33000,
              f"{controlled}'s ISP after '33000': {isp_taken} N*s/kg")
    button_state = pilot_state(marks)

    def vessel_records(begin, end):
        return [r for r in records if begin < r.t < end and r.vessel == controlled]

    att = [t for t, text in marks if text == "button Left ATT"]
    abp = [t for t, text in marks if text == "button Left ABP"]
    ends = sorted(att + abp + [t for t, text in marks if text == "button Left REF"]) + [float("inf")]
    nxt = lambda t: next(e for e in ends if e > t)
    if len(att) == 2:
        off = vessel_records(att[0] + 30, att[1])
        on = vessel_records(att[1] + 30, nxt(att[1]))
        turned = fl.angle_between(fl.orbit_frame_axes(off[0])[0], fl.orbit_frame_axes(off[-1])[0]) if len(off) > 2 else 0
        kept = max((fl.angle_between(fl.orbit_frame_axes(on[0])[0], fl.orbit_frame_axes(r)[0]) for r in on), default=99)
        table.add("ATT button, twice: hold off (the attitude turns), then on (held)", turned > 5 and kept < 0.5,
                  f"{controlled}'s nose turned {turned:.1f} deg in the orbit frame after the first click; "
                  f"held to {kept:.4f} deg after the second")
    if len(abp) == 2:
        off = vessel_records(abp[0] + 30, abp[1])
        on = vessel_records(abp[1] + 30, nxt(abp[1]))
        levels = sorted({round(r.level, 4) for r in off})
        follows = [((r.level > 0.5) == fl.in_burn_window(fl.orbit(r.r, r.v))) for r in on]
        window_changed = len({fl.in_burn_window(fl.orbit(r.r, r.v)) for r in off}) > 1
        table.add("ABP button, twice: burn off (level kept), then on (the window again)",
                  len(levels) == 1 and window_changed and bool(follows) and all(follows),
                  f"{controlled}: level {levels} while off, across the window's edge: {window_changed}; "
                  f"then in the window in {sum(follows)} of {len(follows)} records")
    final_ref = block_value(saved.get("Left", []), "RBD")
    table.add("REF button: box opened, Moon taken (as saved at the end)", final_ref == "Moon", f"RBD at the end {final_ref}")

    same = bool(saved) and all(saved.get(p) and saved.get(p) == loaded.get(p) for p in ("Left", "Right"))
    table.add("saved display blocks read back and saved again unchanged", same,
              "Left: " + " ".join(x for x in saved.get("Left", []) if not x.startswith(("TYPE", "MODE")))
              + ("; the same on the right and after loading" if same else "; NOT the same after loading"))

    comparison, comparison_ok, tolerance_text = zolksim_compare.compare(
        out / "orbits", options.zolksim, options.start_mjd, out / "zolksim")
    table.add("zolksim vs the genuine host, orbit by orbit, within the tolerance", comparison_ok, tolerance_text)

    text = table.text()
    print(text)
    print()
    print(comparison)
    wall = f"\nWall time of the whole run: {options.wall:.0f} s\n" if options.wall else ""
    print(wall)
    (out / "table.md").write_text(text + "\n\n" + comparison + "\n" + wall)
    return 1 if table.failed() else 0


if __name__ == "__main__":
    sys.exit(main())
