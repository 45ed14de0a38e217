"""Turns the JSON of the simulation benchmark into the tables of BENCHMARKS.md: stage times
against a memcpy of the same picture, the scaling exponents, and the large design's memory."""
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


def main():
    results = runs(sys.argv[1:])
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


main()
