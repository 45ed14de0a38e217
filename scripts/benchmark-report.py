"""Turns the JSON of the simulation benchmark into the tables of BENCHMARKS.md: stage times
against a memcpy of the same picture, the scaling exponents, the large design's memory, and
(with --live FILE, the JSON of the live benchmark) the live simulation against its targets."""
import json
import math
import sys

STAGES = ["build", "relax", "segments", "paint", "passes", "tiling"]


def runs(paths):
    """The median of repeated benchmarks, the single run of the others, by name."""
    result = {}
    for path in paths:
        for bench in json.load(open(path))["benchmarks"]:
            name = bench["run_name"].split("/repeats")[0].split("/iterations")[0].split("/real_time")[0]
            if bench.get("run_type") == "aggregate":
                if bench["aggregate_name"] == "median":
                    result[name] = bench
            elif name not in result or result[name].get("run_type") != "aggregate":
                if bench.get("repetitions", 1) <= 1:
                    result[name] = bench
    return result


# The live simulation's rows: benchmark, what it is, target in milliseconds (None: no target).
LIVE_ROWS = [
    ("BM_ClickToPicture/delay_ms:30", "click to picture (30 ms delay)", 50.0),
    ("BM_ClickToPicture/delay_ms:0", "click to picture (work only, delay 0)", 50.0),
    ("BM_ZoomChange", "zoom change (kept model)", 16.0),
    ("BM_ZoomChangeLive/delay_ms:0", "zoom change through the live worker (kept model, delay 0)",
     16.0),
    ("BM_ColourChange", "colour change (kept model)", 30.0),
    ("BM_FullRun", "full run without a kept model", None),
]

UNIT_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def live_section(path):
    results = runs([path])
    # A benchmark that failed its own checks reports why instead of a time.
    errors = {}
    for bench in json.load(open(path))["benchmarks"]:
        if bench.get("error_occurred"):
            errors[bench["run_name"].split("/repeats")[0]] = bench.get("error_message", "failed")
    print("## Live simulation (typical 4-bar 48 x 96, zoom 4; median ms)")
    print()
    print("In an 800 x 600 view. Each figure is the median over the repetitions of the mean time "
          "of one repetition's iterations. A click is timed from the change being announced to the "
          "picture delivered in the window's thread; a zoom or colour change is a run on the model "
          "kept from the run before, which builds and relaxes nothing (the benchmark fails if it "
          "does); it is timed as a call in the calling thread, and once more through the live "
          "worker from the change to the delivered picture.")
    print()
    print("| case | median | target | result |")
    print("|---|---:|---:|---|")
    for name, label, target in LIVE_ROWS:
        b = results.get(name)
        if b is None or name in errors:
            reason = errors.get(name, "not run")
            print(f"| {label} | - | {'≤ %.0f' % target if target else '-'} | {reason} |")
            continue
        ms = b["real_time"] * UNIT_MS[b.get("time_unit", "ns")]
        if target is None:
            print(f"| {label} | {ms:.1f} | - | - |")
        else:
            verdict = "pass" if ms <= target else f"over by {ms - target:.1f} ms"
            print(f"| {label} | {ms:.1f} | ≤ {target:.0f} | {verdict} |")
    print()


def main():
    args = sys.argv[1:]
    live = None
    if "--live" in args:
        i = args.index("--live")
        live = args[i + 1]
        del args[i:i + 2]
    results = runs(args)
    print("## Stages (milliseconds per run, median of the repetitions)")
    print()
    print("| design | nodes | picture px | total | " + " | ".join(STAGES) + " | memcpy | total / memcpy |")
    print("|---|---:|---:|---:|" + "---:|" * len(STAGES) + "---:|---:|")
    for name, b in results.items():
        if name.startswith("BM_Scaling"):
            continue
        cells = [f"{b[s + '_ms']:.2f}" for s in STAGES]
        print(f"| {name[3:]} | {b['nodes']:.0f} | {b['picture_px']:.0f} | {b['real_time']:.2f} | "
              + " | ".join(cells) + f" | {b['memcpy_ms']:.3f} | {b['real_time'] / b['memcpy_ms']:.0f} |")
    print()
    print("Each stage against the memcpy of its picture (how many picture copies it costs):")
    print()
    print("| design | " + " | ".join(STAGES) + " |")
    print("|---|" + "---:|" * len(STAGES))
    for name, b in results.items():
        if name.startswith("BM_Scaling") or b["memcpy_ms"] <= 0:
            continue
        print(f"| {name[3:]} | " + " | ".join(f"{b[s + '_ms'] / b['memcpy_ms']:.1f}" for s in STAGES) + " |")
    print()

    scaling = sorted((b for n, b in results.items() if n.startswith("BM_Scaling")),
                     key=lambda b: b["nodes"])
    if len(scaling) >= 2:
        print("## Scaling (the finished design, wales and courses doubled from 24 x 48; milliseconds)")
        print()
        stages = ["build", "relax", "segments", "paint", "passes"]
        print("| nodes | picture px | total | " + " | ".join(stages) + " |")
        print("|---:|---:|---:|" + "---:|" * len(stages))
        for b in scaling:
            print(f"| {b['nodes']:.0f} | {b['picture_px']:.0f} | {b['real_time']:.2f} | "
                  + " | ".join(f"{b[s + '_ms']:.3f}" for s in stages) + " |")
        print()
        print("Exponent k of time ~ size^k for each doubling step and over the whole series (1 is "
              "linear; nodes for build, relax and segments, pixels for paint and passes):")
        print()
        names = ["total"] + stages
        print("| step | " + " | ".join(names) + " |")
        print("|---|" + "---:|" * len(names))
        pairs = [(scaling[i], scaling[i + 1]) for i in range(len(scaling) - 1)]
        pairs.append((scaling[0], scaling[-1]))
        for a, b in pairs:
            cells = []
            for stage in names:
                key = "real_time" if stage == "total" else stage + "_ms"
                size = "picture_px" if stage in ("paint", "passes", "total") else "nodes"
                if a[key] > 0 and b[key] > 0:
                    k = math.log(b[key] / a[key]) / math.log(b[size] / a[size])
                    cells.append(f"{k:.2f}")
                else:
                    cells.append("-")
            print(f"| {a['nodes']:.0f} → {b['nodes']:.0f} nodes | " + " | ".join(cells) + " |")
        print()

    large = results.get("BM_LargeFourBar")
    if large:
        grown = large["peak_rss_mb"] - large["rss_before_mb"]
        held = large["picture_mb"] + large["model_mb"]
        print("## Memory of the large design")
        print()
        print(f"- picture {large['picture_mb']:.1f} MiB, model {large['model_mb']:.1f} MiB, "
              f"segment lists {large['segments_mb']:.1f} MiB")
        print(f"- process peak {large['peak_rss_mb']:.1f} MiB, {large['rss_before_mb']:.1f} MiB before the run: "
              f"the run took {grown:.1f} MiB, {grown / held:.2f} times picture plus model")
        print(f"- per node: model {large['model_mb'] * 1048576 / large['nodes']:.0f} bytes, "
              f"segments {large['segments_mb'] * 1048576 / large['nodes']:.0f} bytes")

    if live:
        print()
        live_section(live)


main()
