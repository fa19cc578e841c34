#!/usr/bin/env python3
"""Prints the editor's figures beside their plain-Qt comparisons, as ratios, from the JSON
files Google Benchmark wrote (one per benchmark program, given on the command line)."""
import json
import re
import sys

# (what is measured, the editor's run, the comparison's run, goal as a ratio or None)
PAIRS = [
    ("start-up to first paint, no project", "BM_EditorFirstPaint", "BM_PlainMainWindowFirstPaint", 1.5),
    ("start-up to first paint, bare window", "BM_EditorFirstPaint", "BM_PlainBareWindowFirstPaint", None),
    ("meter tick, 256 meters (128 strips), each following its own level", "BM_MeterTickConsole/128",
     "BM_MeterTickPlain/128", 1.0),
    ("console build + paint, 300 strips", "BM_ConsoleBuildAndPaint/300", "BM_PlainStripsBuildAndPaint/300", 1.5),
    ("console build + paint, 300 strips, beside 5-widget rows", "BM_ConsoleBuildAndPaint/300",
     "BM_PlainRowsBuildAndPaint/300", None),
    ("element tree reset, 5,000 elements", "ElementTree/5000", "StandardTree/5000", 1.5),
    ("element tree reset, 1,000 elements", "ElementTree/1000", "StandardTree/1000", 1.5),
]

# (what is measured, the run, the run it is compared with (growth) or None, goal in the run's unit)
LIMITS = [
    ("add a track to a group, 5,000 tracks (beside 500)", "AddToGroup/5000", "AddToGroup/500", 100.0),
]


def main(paths):
    times = {}
    counters = {}
    for path in paths:
        try:
            with open(path) as f:
                report = json.load(f)
        except (OSError, ValueError):
            continue
        for run in report.get("benchmarks", []):
            if run.get("run_type", "iteration") == "iteration" and "real_time" in run:
                # Names without their run options: "/iterations:250", "/real_time", "/manual_time".
                name = re.sub(r"/(iterations:\d+|real_time|manual_time)", "", run["name"])
                times[name] = (run["real_time"], run.get("time_unit", "ns"))
                counters[name] = run
    print("\nEditor beside plain Qt (real time):")
    for title, editor, plain, goal in PAIRS:
        if editor not in times or plain not in times:
            continue
        (e, unit), (p, _) = times[editor], times[plain]
        line = f"  {title}: {e:.3f} {unit} vs {p:.3f} {unit} = {e / p:.2f}x"
        if goal:
            line += f" (goal {goal}x)"
        print(line)
    # Figures with no comparison: how they grow with the work's size.
    GROWTH = [
        ("drop K strips onto a row of 1,000", ["BM_DropOntoRow/100/1000", "BM_DropOntoRow/1000/1000"],
         "goal linear, 1,000 onto 1,000 under 200 ms"),
        ("zoom into a group of 100 / 300 / 1,000 tracks",
         ["BM_ZoomIntoGroup/100", "BM_ZoomIntoGroup/300", "BM_ZoomIntoGroup/1000"], "goal linear"),
    ]
    for title, runs, goal in GROWTH:
        if all(run in times for run in runs):
            figures = " / ".join(f"{times[run][0]:.1f}" for run in runs)
            print(f"  {title}: {figures} {times[runs[0]][1]} ({goal})")
    for title, run, smaller, goal in LIMITS:
        if run not in times:
            continue
        value, unit = times[run]
        line = f"  {title}: {value:.3f} {unit}"
        if smaller in times:
            line += f" vs {times[smaller][0]:.3f} {unit} = {value / times[smaller][0]:.2f}x"
        print(line + f" (goal under {goal:g} {unit})")
    # Peak resident memory of the started programs, from the start-up runs.
    editor = counters.get("BM_EditorFirstPaint", {}).get("max_rss_mb")
    plain = counters.get("BM_PlainMainWindowFirstPaint", {}).get("max_rss_mb")
    if editor is not None and plain is not None:
        print(f"  peak memory, no project: {editor:.1f} MB vs {plain:.1f} MB = {editor / plain:.2f}x"
              " (goal 45 MB or less)")


if __name__ == "__main__":
    main(sys.argv[1:])
