#!/usr/bin/env python3
"""Times the converter against the cost of reading its input; see scripts/bench.

Usage: bench.py BUILD_DIR WORK_DIR [RUNS]

For 10 000 and 100 000 documents over a quarter, and 100 000 over a year (twelve monthly
files): the floor (iconv of the export into nothing), the dry
run, the real run into an empty directory and the same real run again into the directory
it filled (every document already there); each the median of RUNS runs, with the largest
resident memory seen. Then the ratios the targets speak of, and the dry run of the
100 000-document file through the main window (offscreen) next to the CLI's.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def measure(command, runs, prepare=None, env=None):
    times, peaks = [], []
    for _ in range(runs):
        if prepare:
            prepare()
        with open(os.devnull, "wb") as sink:
            start = time.perf_counter()
            process = subprocess.Popen(command, stdout=sink, stderr=subprocess.DEVNULL, env=env)
            _, status, usage = os.wait4(process.pid, 0)
            times.append(time.perf_counter() - start)
        process.returncode = os.waitstatus_to_exitcode(status)
        if process.returncode not in (0, 1):
            sys.exit("%s: exit %d" % (" ".join(command), process.returncode))
        peaks.append(usage.ru_maxrss / 1024)
    return statistics.median(times), max(peaks)


def main():
    build, work = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    cli = os.path.join(build, "przenosnik-cli")
    window = os.path.join(build, "tests", "ui_bench_window")
    os.makedirs(work, exist_ok=True)
    rows, results = [], {}
    for count, year in ((10000, False), (100000, False), (100000, True)):
        name = "%d%s" % (count, "R" if year else "")
        export = os.path.join(work, "FVS%s.TXT" % name)
        generator = os.path.join(ROOT, "scripts", "make-bench-export.py")
        if not os.path.exists(export) or os.path.getmtime(export) < os.path.getmtime(generator):
            subprocess.check_call([sys.executable, generator, str(count), export] + (["--year"] if year else []))
        size = os.path.getsize(export) / 1e6
        target = os.path.join(work, "firma%s" % name)

        def empty_target():
            shutil.rmtree(target, ignore_errors=True)
            os.makedirs(target)

        floor = measure(["iconv", "-f", "CP1250", "-t", "UTF-8", export, "-o", os.devnull], runs)
        dry = measure([cli, "--dry-run", export], runs)
        real = measure([cli, export, target], runs, prepare=empty_target)
        again = measure([cli, export, target], runs)  # the directory holds every document already
        results[name] = (floor, dry, real, again)
        for step, (seconds, peak) in (("floor (iconv)", floor), ("dry run", dry), ("real run", real),
                                      ("real run again", again)):
            rows.append((count, "year" if year else "quarter", size, step, seconds, seconds / floor[0], peak))
    print("%9s %-8s %7s  %-16s %9s %8s %9s" % ("documents", "over a", "MB", "", "time s", "× floor", "peak MB"))
    for count, period, size, step, seconds, ratio, peak in rows:
        print("%9d %-8s %7.1f  %-16s %9.3f %8.1f %9.1f" % (count, period, size, step, seconds, ratio, peak))
    small, large, year = results["10000"], results["100000"], results["100000R"]
    print()
    print("dry run  / floor at 100 000: %5.1f  (target <= 4)" % (large[1][0] / large[0][0]))
    print("real run / floor at 100 000: %5.1f  (target <= 6)" % (large[2][0] / large[0][0]))
    print("the same over a year:        %5.1f  (target <= 6)" % (year[2][0] / year[0][0]))
    print("100 000 / 10 000, dry run:   %5.1f  (target <= 11)" % (large[1][0] / small[1][0]))
    print("100 000 / 10 000, real run:  %5.1f  (target <= 11)" % (large[2][0] / small[2][0]))
    print("peak memory at 100 000:      %5.1f MB (target <= 64)" % max(r[1] for r in large[1:] + year[1:]))
    if os.access(window, os.X_OK):
        # The same file through the main window, offscreen, as a user starts a dry run.
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        export = os.path.join(work, "FVS100000.TXT")
        seconds, peak = measure([window, export], runs, env=env)
        print()
        print("main window (offscreen), dry run, same 100 000-document file:")
        print("  time %.3f s, peak %.1f MB" % (seconds, peak))
        print("window dry run / CLI dry run: %5.2f  (target <= 1.5)" % (seconds / large[1][0]))
        print("window peak memory:           %5.1f MB (target <= 300)" % peak)


if __name__ == "__main__":
    main()
