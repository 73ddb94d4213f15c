#!/usr/bin/env python3
"""Times the converter against the cost of reading its input; see scripts/bench.

Usage: bench.py BUILD_DIR WORK_DIR [RUNS]

For 10 000 and 100 000 documents: the floor (iconv of the export into nothing), the dry
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
    for count in (10000, 100000):
        export = os.path.join(work, "FVS%d.TXT" % count)
        generator = os.path.join(ROOT, "scripts", "make-bench-export.py")
        if not os.path.exists(export) or os.path.getmtime(export) < os.path.getmtime(generator):
            subprocess.check_call([sys.executable, generator,
                                   str(count), export])
        size = os.path.getsize(export) / 1e6
        target = os.path.join(work, "firma%d" % count)

        def empty_target():
            shutil.rmtree(target, ignore_errors=True)
            os.makedirs(target)

        floor = measure(["iconv", "-f", "CP1250", "-t", "UTF-8", export, "-o", os.devnull], runs)
        dry = measure([cli, "--dry-run", export], runs)
        real = measure([cli, export, target], runs, prepare=empty_target)
        again = measure([cli, export, target], runs)  # the directory holds every document already
        results[count] = (floor, dry, real, again)
        for name, (seconds, peak) in (("floor (iconv)", floor), ("dry run", dry), ("real run", real),
                                      ("real run again", again)):
            rows.append((count, size, name, seconds, seconds / floor[0], peak))
    print("%9s %7s  %-16s %9s %8s %9s" % ("documents", "MB", "", "time s", "× floor", "peak MB"))
    for count, size, name, seconds, ratio, peak in rows:
        print("%9d %7.1f  %-16s %9.3f %8.1f %9.1f" % (count, size, name, seconds, ratio, peak))
    small, large = results[10000], results[100000]
    print()
    print("dry run  / floor at 100 000: %5.1f  (target <= 4)" % (large[1][0] / large[0][0]))
    print("real run / floor at 100 000: %5.1f  (target <= 6)" % (large[2][0] / large[0][0]))
    print("100 000 / 10 000, dry run:   %5.1f  (target <= 11)" % (large[1][0] / small[1][0]))
    print("100 000 / 10 000, real run:  %5.1f  (target <= 11)" % (large[2][0] / small[2][0]))
    print("peak memory at 100 000:      %5.1f MB (target <= 64)" % max(r[1] for r in large[1:]))
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
