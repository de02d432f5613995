"""Mutation testing for ZolkMFD: scripts/mutants runs this.

Each entry of the list (tests/mutants.txt) names a file, a piece of code that
occurs exactly once in it, and the fault to put in its place. For every entry
the script writes the fault into a scratch copy of the tree, rebuilds what the
change touches (an incremental Ninja build), runs the test suite, and writes the
file back. A fault is caught when a test fails (or times out); it survives when
the whole suite passes. An entry whose code is not in its file (or is there more
than once), or whose fault does not build, is an error: it is counted neither
as caught nor as survived, and makes the run fail.

The real tree is never written: it is copied to <scratch>/src (only files that
differ are copied again, so later runs rebuild little) and built in
<scratch>/build. The mutated file is restored on every way out, Ctrl+C included;
a scratch copy left mutated by a hard kill is put right by the next run's copy.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SKIPPED_DIRS = {".git", "build", "zolksim-out"}


@dataclass
class Mutant:
    number: int
    file: str
    code: str
    fault: str
    why: str
    line: int  # line of the list where the entry starts


def unescape(value):
    """'\\n' in a value stands for a line break, '\\\\' for a backslash."""
    out, i = [], 0
    while i < len(value):
        if value[i] == "\\" and i + 1 < len(value) and value[i + 1] in "n\\":
            out.append("\n" if value[i + 1] == "n" else "\\")
            i += 2
        else:
            out.append(value[i])
            i += 1
    return "".join(out)


def parse_list(path):
    """Entries of 'key: value' lines; 'file:' starts an entry; '#' comments."""
    mutants, current, problems = [], None, []
    for lineno, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        key, sep, value = line.partition(":")
        key = key.strip()
        if not sep or key not in ("file", "code", "fault", "why"):
            problems.append(f"{path}:{lineno}: not a 'file:', 'code:', 'fault:' or 'why:' line")
            continue
        value = unescape(value.strip())
        if key == "file":
            current = {"file": value, "line": lineno}
            mutants.append(current)
        elif current is None:
            problems.append(f"{path}:{lineno}: '{key}:' before the first 'file:'")
        elif key in current:
            problems.append(f"{path}:{lineno}: second '{key}:' in one entry")
        else:
            current[key] = value
    result = []
    for number, entry in enumerate(mutants, 1):
        if not entry.get("code") or "fault" not in entry:
            problems.append(f"{path}:{entry['line']}: entry without 'code:' or 'fault:'")
            continue
        result.append(Mutant(number, entry["file"], entry["code"], entry["fault"], entry.get("why", ""),
                             entry["line"]))
    return result, problems


def tree_files(tree):
    """The tree's source files, relative: git's view when it is a work tree."""
    try:
        out = subprocess.run(["git", "-C", str(tree), "ls-files", "-z", "--cached", "--others",
                              "--exclude-standard"], check=True, capture_output=True).stdout
        names = [n for n in out.decode().split("\0") if n]
        return sorted(n for n in names if (tree / n).is_file() and n.split("/")[0] not in SKIPPED_DIRS)
    except (subprocess.CalledProcessError, FileNotFoundError):
        names = []
        for dirpath, dirnames, filenames in os.walk(tree):
            dirnames[:] = [d for d in dirnames if d not in SKIPPED_DIRS]
            for f in filenames:
                names.append(str(Path(dirpath, f).relative_to(tree)))
        return sorted(names)


def sync_tree(tree, src):
    """Copies files that differ; removes files the tree no longer has."""
    wanted = set(tree_files(tree))
    copied = 0
    for name in wanted:
        source, target = tree / name, src / name
        data = source.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(source, target)
        copied += 1
    for dirpath, _, filenames in os.walk(src):
        for f in filenames:
            rel = str(Path(dirpath, f).relative_to(src))
            if rel not in wanted:
                os.remove(Path(dirpath, f))
    return copied


def run(cmd, **kwargs):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kwargs)


def build(build_dir, jobs):
    return run(["cmake", "--build", str(build_dir), "--parallel", str(jobs)])


def run_tests(build_dir, jobs, timeout):
    """(passed, first failing test or '')"""
    failed_log = build_dir / "Testing" / "Temporary" / "LastTestsFailed.log"
    if failed_log.exists():
        failed_log.unlink()
    # Tests that write files put them under GoogleTest's temporary folder: one
    # of the scratch copy's own, so that a run beside other test runs (or
    # another scratch copy's) never shares their files.
    tmp = build_dir.parent / "tmp"
    tmp.mkdir(exist_ok=True)
    env = dict(os.environ, TEST_TMPDIR=str(tmp), TMPDIR=str(tmp))
    result = run(["ctest", "--test-dir", str(build_dir), "--parallel", str(jobs), "--stop-on-failure",
                  "--timeout", str(timeout), "--no-tests=error"], env=env)
    if result.returncode == 0:
        return True, ""
    failed = ""
    if failed_log.exists():
        lines = failed_log.read_text().split()
        if lines:
            failed = lines[0].partition(":")[2]
    return False, failed or "ctest failed"


def first_error(output):
    for line in output.splitlines():
        if "error" in line.lower():
            return line.strip()[:160]
    return output.strip().splitlines()[-1][:160] if output.strip() else "build failed"


def selected(wanted, count):
    if not wanted:
        return set(range(1, count + 1))
    numbers = set()
    for part in wanted.split(","):
        first, _, last = part.partition("-")
        numbers.update(range(int(first), int(last or first) + 1))
    return numbers


def interrupt(signum, frame):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(prog="scripts/mutants", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", type=Path, default=ROOT / "tests" / "mutants.txt", help="the faults (default: tests/mutants.txt)")
    parser.add_argument("--tree", type=Path, default=ROOT, help="the tree to test (default: this one, as it stands)")
    parser.add_argument("--scratch", type=Path, default=ROOT / "build" / "mutants", help="scratch folder (default: build/mutants)")
    parser.add_argument("--only", default="", help="entry numbers to run, e.g. 3,7-9")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="parallel builds and tests")
    parser.add_argument("--timeout", type=int, default=120, help="seconds a test may take before it counts as failed")
    args = parser.parse_args()

    signal.signal(signal.SIGTERM, interrupt)
    signal.signal(signal.SIGHUP, interrupt)
    started = time.monotonic()
    tree, scratch = args.tree.resolve(), args.scratch.resolve()
    src, build_dir = scratch / "src", scratch / "build"

    mutants, problems = parse_list(args.list)
    for p in problems:
        print(f"list error: {p}")
    if problems:
        return 2
    wanted = selected(args.only, len(mutants))
    mutants = [m for m in mutants if m.number in wanted]

    src.mkdir(parents=True, exist_ok=True)
    copied = sync_tree(tree, src)
    print(f"scratch copy {src}: {copied} files copied from {tree}")
    if not (build_dir / "build.ninja").exists():
        configured = run(["cmake", "-S", str(src), "-B", str(build_dir), "-G", "Ninja",
                          "-DCMAKE_BUILD_TYPE=Release", "-DZOLK_BUILD_TESTS=ON"])
        if configured.returncode != 0:
            print(configured.stdout)
            return 2
    built = build(build_dir, args.jobs)
    if built.returncode != 0:
        print(built.stdout)
        print("the unmutated tree does not build")
        return 2
    passed, failed = run_tests(build_dir, args.jobs, args.timeout)
    if not passed:
        print(f"the unmutated tree fails its tests ({failed}): a mutation score would mean nothing")
        return 2
    print(f"unmutated tree builds and passes ({time.monotonic() - started:.0f} s); {len(mutants)} faults to try")

    caught, survived, errors = [], [], []
    try:
        for m in mutants:
            tag = f"[{m.number:2d}] {m.file}"
            path = src / m.file
            if not path.is_file():
                errors.append((m, "no such file"))
                print(f"{tag}: ERROR no such file")
                continue
            original = path.read_bytes()
            text = original.decode("utf-8")
            count = text.count(m.code)
            if count != 1:
                reason = "code not found" if count == 0 else f"code found {count} times"
                errors.append((m, reason))
                print(f"{tag}: ERROR {reason}: {m.code}")
                continue
            line = text[: text.index(m.code)].count("\n") + 1
            tag = f"[{m.number:2d}] {m.file}:{line}"
            try:
                path.write_text(text.replace(m.code, m.fault), encoding="utf-8")
                built = build(build_dir, args.jobs)
                if built.returncode != 0:
                    errors.append((m, "does not build: " + first_error(built.stdout)))
                    print(f"{tag}: ERROR does not build: {first_error(built.stdout)}")
                    continue
                passed, failed = run_tests(build_dir, args.jobs, args.timeout)
            finally:
                path.write_bytes(original)
            if passed:
                survived.append(m)
                print(f"{tag}: SURVIVED  {m.why or m.fault}")
            else:
                caught.append(m)
                print(f"{tag}: caught by {failed}")
    except KeyboardInterrupt:
        print("\ninterrupted: the scratch copy is restored; no score")
        return 130

    elapsed = time.monotonic() - started
    print()
    if survived:
        print("Survivors (no test failed):")
        for m in survived:
            code, fault = (t.replace("\\", "\\\\").replace("\n", "\\n") for t in (m.code, m.fault))
            print(f"  [{m.number}] {m.file}: '{code}' -> '{fault}'" + (f"  ({m.why})" if m.why else ""))
    if errors:
        print("Errors (neither caught nor survived):")
        for m, reason in errors:
            print(f"  [{m.number}] {m.file} (list line {m.line}): {reason}")
    tried = len(caught) + len(survived)
    score = 100.0 * len(caught) / tried if tried else 0.0
    print(f"Mutation score: {len(caught)}/{tried} caught ({score:.1f}%), {len(survived)} survived, "
          f"{len(errors)} errors; {elapsed:.0f} s")
    return 0 if not survived and not errors else 1


if __name__ == "__main__":
    sys.exit(main())
