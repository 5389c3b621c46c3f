#!/usr/bin/env python3
"""Runs the benchmark suite, judges every figure against its target, prints a table and
writes results/latest.json (and the raw latency samples for the plot)."""
import argparse
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time
from datetime import datetime, timezone

HERE = os.path.dirname(os.path.abspath(__file__))


def percentile(values, p):
    ordered = sorted(values)
    if not ordered:
        return None
    k = (len(ordered) - 1) * p / 100.0
    lo, hi = int(k), min(int(k) + 1, len(ordered) - 1)
    return ordered[lo] + (ordered[hi] - ordered[lo]) * (k - lo)


def entry(samples, target, check, with_p99=True, **extra):
    median = statistics.median(samples)
    p99 = percentile(samples, 99) if with_p99 else None
    result = {"median": round(median, 3), "runs": len(samples), "target": target}
    if with_p99:
        result["p99"] = round(p99, 3)
    result["min"] = round(min(samples), 3)
    result["max"] = round(max(samples), 3)
    result["met"] = bool(check(median=median, p99=p99, samples=samples))
    result.update(extra)
    return result


WHAT = {
    "click_to_line_1byte_us": 'click on "Clear Screen" until its byte is readable at the peer (µs)',
    "click_to_line_4byte_us": 'click on "Set Cursor Position" until all 4 bytes are readable (µs)',
    "click_to_line_66byte_us": 'click on "Send Bitmap to LCD" until all 66 bytes are readable (µs)',
    "key_to_line_us": 'key press "A" in the text field until 0x41 is readable (µs)',
    "read_input_wait_ms": '"Read Input" until the labels change, peer answering at once (ms)',
    "read_input_ui_events": "10 ms timer events handled elsewhere during one wait",
    "read_input_cpu_ms": "CPU time of the process during one wait (ms)",
    "startup_to_shown_ms": "process start until the main window is mapped, under Xvfb (ms)",
    "rss_after_start_kb": "resident memory once mapped, under Xvfb (kB)",
    "flood_rss_growth_kb": "growth while the peer tries to write 50 MB over 10 s of idling (kB)",
    "settings_roundtrip_ms": "3 reads + 3 writes on a 1 MB settings file (ms)",
    "frame_build_ns": "building one frame of the command set, median over the frames (ns)",
    "send_cli_ms": 'process start of `torvika-send clear text "Hello"` until its 6 bytes are readable (ms)',
    "send_cli_vs_printf": "the same, as a multiple of `sh -c 'printf ... > DEVICE'` in the same run",
    "send_stdin_vs_calls": "1,000 clock lines through one `torvika-send --stdin`, as a multiple of 1,000 calls",
    "click_to_line_1byte_us_log_open": 'as click_to_line_1byte_us, the traffic window open (µs)',
    "click_to_line_4byte_us_log_open": 'as click_to_line_4byte_us, the traffic window open (µs)',
    "click_to_line_66byte_us_log_open": 'as click_to_line_66byte_us, the traffic window open (µs)',
    "recorder_append_ns": "putting one entry on record, mirror and open log connected (ns)",
    "log_10000_rows_kb": "traffic window memory with 10,000 rows beyond the empty window (kB)",
    "log_scroll_10000_rows_ms": "10,000 rows: newest to oldest and back, table repainted (ms)",
    "log_copy_10000_rows_ms": "10,000 rows selected and copied as hex (ms)",
    "lcdd_flush_us": "LCDd driver: one flush of a recorded `lcdproc C M U P` session (µs)",
    "lcdd_bytes_vs_runs": "LCDd driver: bytes for that session, as a multiple of a plain run-by-run encoder",
    "lcdd_lag_ms": "LCDd and torvika.so: a client's `widget_set` of all 32 cells, 8 a second, "
                   "until the module shows it, line drained at 960 bytes/s (ms)",
}


def figure(x):
    if x is None:
        return "-"
    return "%.0f" % x if abs(x) >= 100 else "%.1f" % x if abs(x) >= 10 else "%.2f" % x


def markdown_table(results):
    lines = ["| key | what | median | p99 | runs | target | met |",
             "|---|---|---|---|---|---|---|"]
    for key, e in results.items():
        lines.append("| `%s` | %s | %s | %s | %d | %s | %s |" % (
            key, WHAT.get(key, ""), figure(e["median"]), figure(e.get("p99")), e["runs"],
            e["target"], "yes" if e["met"] else "**no**"))
    return "\n".join(lines)


def machine():
    cpu = "unknown"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return {"cpu": cpu, "cores": os.cpu_count(), "system": platform.platform()}


def run_frames(path):
    out = subprocess.run([path, "--benchmark_format=json", "--benchmark_min_time=0.05"],
                         check=True, capture_output=True, text=True).stdout
    data = json.loads(out)
    return {b["name"].split("/", 1)[-1]: round(b["real_time"], 2) for b in data["benchmarks"]}


def start_xvfb():
    """An X server of our own; returns it and its display name."""
    read_end, write_end = os.pipe()
    # -noreset: the server would reset, refusing connections, whenever its last client goes.
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                               "-noreset", "-screen", "0", "1280x1024x24"],
                              pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            sys.exit("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def mapped(display, title):
    out = subprocess.run(["xwininfo", "-display", display, "-name", title],
                         capture_output=True, text=True).stdout
    return "Map State: IsViewable" in out


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return float(line.split()[1])
    return float("nan")


def run_startup(app, runs=20):
    """Whole panel processes under Xvfb, timed from outside: from the start of the process
    until its main window is mapped (polled with xwininfo), then its resident memory."""
    shown_ms, rss_kb = [], []
    server, display = start_xvfb()
    try:
        with tempfile.TemporaryDirectory() as home:
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
                       XDG_CONFIG_HOME=os.path.join(home, "config"))
            for _ in range(runs):
                start = time.perf_counter()
                p = subprocess.Popen([app], env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
                while not mapped(display, "TORVIKA Serial LCD"):
                    if p.poll() is not None or time.perf_counter() - start > 30:
                        sys.exit("the panel's window did not appear")
                shown_ms.append((time.perf_counter() - start) * 1e3)
                rss_kb.append(resident_kb(p.pid))
                p.terminate()
                p.wait(timeout=30)
    finally:
        server.terminate()
        server.wait()
    return shown_ms, rss_kb


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--frames", required=True)
    ap.add_argument("--panel", required=True)
    ap.add_argument("--app", required=True)
    ap.add_argument("--send", required=True)
    ap.add_argument("--send-app", required=True)
    ap.add_argument("--lcdd", required=True)
    ap.add_argument("--lcdd-lag", required=True)
    ap.add_argument("--driver-dir", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--clicks", type=int, default=1000)
    args = ap.parse_args()

    print("frames (Google Benchmark)...", flush=True)
    frames = run_frames(args.frames)
    print("panel on a pty (about 20 s)...", flush=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    raw = json.loads(subprocess.run([args.panel, str(args.clicks)], check=True,
                                    capture_output=True, text=True, env=env).stdout)
    print("start-up, 20 processes...", flush=True)
    shown_ms, rss_kb = run_startup(args.app)
    print("torvika-send and printf, 50 processes each; 1,000 lines by --stdin and by calls, "
          "3 times (a minute or more)...", flush=True)
    sent = json.loads(subprocess.run([args.send, args.send_app, "50", "3"], check=True,
                                     capture_output=True, text=True).stdout)
    print("LCDd encoder on the recorded session...", flush=True)
    lcdd = json.loads(subprocess.run([args.lcdd], check=True, capture_output=True,
                                     text=True).stdout)
    print("LCDd with the driver at 9600 bit/s (60 s)...", flush=True)
    lag = json.loads(subprocess.run([args.lcdd_lag, args.driver_dir, "60"], check=True,
                                    capture_output=True, text=True).stdout)

    r = {}
    r["click_to_line_1byte_us"] = entry(
        raw["click_to_line_1byte_us"], "median <= 150, p99 <= 1000",
        lambda median, p99, **_: median <= 150 and p99 <= 1000)
    r["click_to_line_4byte_us"] = entry(
        raw["click_to_line_4byte_us"], "median <= 200, p99 <= 1000",
        lambda median, p99, **_: median <= 200 and p99 <= 1000)
    r["click_to_line_66byte_us"] = entry(
        raw["click_to_line_66byte_us"], "median <= 1000", lambda median, **_: median <= 1000)
    r["key_to_line_us"] = entry(raw["key_to_line_us"], "median <= 200",
                                lambda median, **_: median <= 200)
    r["read_input_wait_ms"] = entry(
        raw["read_input_wait_ms"], "every run 100 to 115",
        lambda samples, **_: all(100 <= s <= 115 for s in samples))
    r["read_input_ui_events"] = entry(raw["read_input_ui_events"], "median >= 8",
                                      lambda median, **_: median >= 8, with_p99=False)
    r["read_input_cpu_ms"] = entry(raw["read_input_cpu_ms"], "median <= 5",
                                   lambda median, **_: median <= 5)
    r["startup_to_shown_ms"] = entry(shown_ms, "median <= 80", lambda median, **_: median <= 80)
    r["rss_after_start_kb"] = entry(rss_kb, "median <= 40000",
                                    lambda median, **_: median <= 40000, with_p99=False)
    flood = raw["flood_rss_growth_kb"]
    r["flood_rss_growth_kb"] = entry(
        [flood["growth_kb"]], "<= 2048", lambda median, **_: median <= 2048, with_p99=False,
        peer_bytes_accepted=flood["accepted_bytes"])
    r["settings_roundtrip_ms"] = entry(raw["settings_roundtrip_ms"], "median <= 20",
                                       lambda median, **_: median <= 20)
    for n in ("1", "4", "66"):
        closed = r["click_to_line_%sbyte_us" % n]["median"]
        r["click_to_line_%sbyte_us_log_open" % n] = entry(
            raw["click_to_line_%sbyte_us_log_open" % n],
            "median <= 1.25 x closed (%s)" % figure(1.25 * closed),
            lambda median, closed=closed, **_: median <= 1.25 * closed)
    r["recorder_append_ns"] = entry(raw["recorder_append_ns"], "median <= 1000",
                                    lambda median, **_: median <= 1000)
    r["log_10000_rows_kb"] = entry([raw["log_10000_rows_kb"]], "<= 8192",
                                   lambda median, **_: median <= 8192, with_p99=False)
    r["log_scroll_10000_rows_ms"] = entry(raw["log_scroll_10000_rows_ms"], "every run < 100",
        lambda samples, **_: all(x < 100 for x in samples))
    r["log_copy_10000_rows_ms"] = entry(raw["log_copy_10000_rows_ms"], "every run < 100",
        lambda samples, **_: all(x < 100 for x in samples))
    times = list(frames.values())
    # Reported, not judged: met says only that every frame builder was measured.
    r["frame_build_ns"] = entry(times, "report", lambda samples, **_: all(t > 0 for t in samples),
                                with_p99=False,
                                frames=frames)
    r["send_cli_ms"] = entry(sent["send_cli_ms"], "median <= 20",
                             lambda median, **_: median <= 20)
    printf_median = statistics.median(sent["printf_ms"])
    r["send_cli_vs_printf"] = entry(
        [s / printf_median for s in sent["send_cli_ms"]], "report", lambda **_: True,
        with_p99=False, printf_median_ms=round(printf_median, 3))
    r["send_stdin_vs_calls"] = entry(
        [a / b for a, b in zip(sent["stdin_1000_lines_ms"], sent["calls_1000_lines_ms"])],
        "median <= 0.05", lambda median, **_: median <= 0.05, with_p99=False,
        stdin_median_ms=round(statistics.median(sent["stdin_1000_lines_ms"]), 1),
        calls_median_ms=round(statistics.median(sent["calls_1000_lines_ms"]), 1))
    r["lcdd_flush_us"] = entry(lcdd["flush_us"], "median <= 20", lambda median, **_: median <= 20,
                               frames=lcdd["frames"],
                               sending_median=round(statistics.median(lcdd["sending_flush_us"]), 3))
    ratio = lcdd["bytes"] / lcdd["reference_bytes"]
    r["lcdd_bytes_vs_runs"] = entry([ratio], "<= 1.1", lambda median, **_: median <= 1.1,
                                    with_p99=False, bytes=lcdd["bytes"],
                                    reference_bytes=lcdd["reference_bytes"])
    r["lcdd_lag_ms"] = entry(lag["lcdd_lag_ms"], "p99 <= 250", lambda p99, **_: p99 <= 250,
                             screens_sent=lag["screens_sent"],
                             bytes_carried=lag["bytes_carried"])

    result = {"generated": datetime.now(timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ"),
              "machine": machine()}
    result.update(r)
    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "latest.json"), "w") as f:
        json.dump(result, f, indent=2)
        f.write("\n")
    samples = {k: raw[k] for k in ("click_to_line_1byte_us", "click_to_line_4byte_us",
                                   "click_to_line_66byte_us", "key_to_line_us")}
    with open(os.path.join(args.out, "latency-samples.json"), "w") as f:
        json.dump(samples, f)

    print()
    print(markdown_table(r))
    print()
    print("machine: %(cpu)s, %(cores)s cores, %(system)s" % result["machine"])

    try:
        # Debian's own interpreter has Debian's matplotlib.
        python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
        subprocess.run([python, os.path.join(HERE, "plot_latency.py"),
                        os.path.join(args.out, "latency-samples.json"),
                        os.path.join(HERE, "..", "docs", "latency.png")], check=True)
    except subprocess.CalledProcessError:
        print("(no plot: python3-matplotlib is needed for docs/latency.png)")
    return 0 if all(e["met"] for e in r.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
