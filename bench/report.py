"""Turns the benchmark's samples (program, round, metric, value) into the
markdown results: medians, min-max, tavik-search's ratio to each peer, and
the goals."""

import datetime
import os
import platform
import statistics
import subprocess
import sys

samples_path, runs, searches = sys.argv[1], sys.argv[2], sys.argv[3]
data = {}
for line in open(samples_path, encoding="utf-8"):
    program, _round, metric, value = line.rstrip("\n").split("\t")
    data.setdefault((program, metric), []).append(float(value))

PROGRAMS = ["tavik-search", "MiniBrowser", "chromium"]
PEERS = PROGRAMS[1:]


def values(program, metric):
    return data.get((program, metric), [])


def median(program, metric):
    found = values(program, metric)
    return statistics.median(found) if found else None


def cell(program, metric, digits):
    found = values(program, metric)
    if not found:
        return "–"
    return (f"{statistics.median(found):.{digits}f} "
            f"({min(found):.{digits}f}–{max(found):.{digits}f}, n={len(found)})")


def ratio(a, b):
    if a is None or b is None or b == 0:
        return "–"
    return f"{a / b:.2f}×"


def machine():
    model = "unknown CPU"
    for line in open("/proc/cpuinfo", encoding="utf-8"):
        if line.startswith("model name"):
            model = line.split(":", 1)[1].strip()
            break
    mem_kib = 0
    for line in open("/proc/meminfo", encoding="utf-8"):
        if line.startswith("MemTotal:"):
            mem_kib = int(line.split()[1])
    cores = subprocess.run(["nproc"], capture_output=True, text=True).stdout.strip()
    load = " ".join(open("/proc/loadavg", encoding="utf-8").read().split()[:3])
    return (f"{cores} cores (`nproc`), {mem_kib / 1024 / 1024:.1f} GiB memory, {model}, "
            f"{platform.system()} {platform.release()}; load average at the end: {load}")


# (title, tavik metric, peer metric, unit digits)
ROWS = [
    ("start → first window mapped (ms)", "mapped_ms", "mapped_ms", 1),
    ("click → results request received (ms); peers: start → request", "request_ms", "request_ms", 2),
    ("click → results onload (ms); peers: start → onload", "onload_ms", "onload_ms", 1),
    ("total PSS with the results shown (MiB)", "pss_mib", "pss_mib", 1),
]

out = []
out.append("# Benchmark results")
out.append("")
out.append(f"Date: {datetime.datetime.now().astimezone().strftime('%Y-%m-%d %H:%M %Z')}  ")
out.append(f"Machine: {machine()}  ")
out.append(f"Runs: {runs} of each program, alternating tavik-search, MiniBrowser, chromium; "
           "one Xvfb screen 1024x768, no window manager; the sample search service as HTTP proxy.")
out.append("")
out.append("Medians, (min–max, n). Ratios are of medians: tavik-search ÷ peer.")
out.append("")
out.append("| figure | tavik-search | MiniBrowser | chromium | ÷ MiniBrowser | ÷ chromium |")
out.append("| --- | --- | --- | --- | --- | --- |")
for title, mine, theirs, digits in ROWS:
    own = median("tavik-search", mine)
    cells = [cell("tavik-search", mine, digits)] + [cell(p, theirs, digits) for p in PEERS]
    ratios = [ratio(own, median(p, theirs)) for p in PEERS]
    out.append(f"| {title} | " + " | ".join(cells + ratios) + " |")
before = median("tavik-search", "pss_before_searches_mib")
after = median("tavik-search", "pss_after_searches_mib")
growth = median("tavik-search", "growth_mib")
logged = median("tavik-search", "searches_logged")
if growth is not None:
    out.append(f"| PSS growth after {searches} searches in a row (MiB) | {growth:.1f} "
               f"({before:.1f} → {after:.1f}; {int(logged or 0)} requests logged) | – | – | – | – |")
failed = {p: len(values(p, "failed")) for p in PROGRAMS}
if any(failed.values()):
    out.append("| failed runs (left out) | " + " | ".join(str(failed[p]) for p in PROGRAMS) + " | – | – |")
out.append("")

# The goals.
peers_mapped = [m for m in (median(p, "mapped_ms") for p in PEERS) if m is not None]
mini_onload = median("MiniBrowser", "onload_ms")
mini_pss = median("MiniBrowser", "pss_mib")
request_values = values("tavik-search", "request_ms")
goals = []
if peers_mapped and median("tavik-search", "mapped_ms") is not None:
    limit = 0.5 * min(peers_mapped)
    got = median("tavik-search", "mapped_ms")
    goals.append((f"window mapped ≤ 0.5 × faster peer ({limit:.1f} ms)", f"{got:.1f} ms", got <= limit))
if request_values:
    worst = max(request_values)
    goals.append(("click → request ≤ 5 ms, first search after start included (max of runs)",
                  f"{worst:.2f} ms", worst <= 5))
if mini_onload is not None and median("tavik-search", "onload_ms") is not None:
    limit = 0.1 * mini_onload
    got = median("tavik-search", "onload_ms")
    goals.append((f"click → onload ≤ 0.1 × MiniBrowser start → onload ({limit:.1f} ms)",
                  f"{got:.1f} ms", got <= limit))
if mini_pss is not None and median("tavik-search", "pss_mib") is not None:
    limit = 0.6 * mini_pss
    got = median("tavik-search", "pss_mib")
    goals.append((f"total PSS ≤ 0.6 × MiniBrowser ({limit:.1f} MiB)", f"{got:.1f} MiB", got <= limit))
if growth is not None:
    goals.append((f"growth after {searches} searches ≤ 10 MiB", f"{growth:.1f} MiB", growth <= 10))
out.append("| goal | measured | met |")
out.append("| --- | --- | --- |")
for goal, got, met in goals:
    out.append(f"| {goal} | {got} | {'yes' if met else '**no**'} |")
out.append("")
out.append("The machine has 2 cores shared with other engineers' builds, so timings are noisy; "
           "compare medians and look at the ranges.")
out.append("")
out.append("All three programs run in one D-Bus session (dbus-run-session), as on a desktop; without "
           "one, every start autolaunches a bus for accessibility, 150–300 ms of each start-up figure.")
print("\n".join(out))
