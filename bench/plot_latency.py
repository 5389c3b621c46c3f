#!/usr/bin/env python3
"""Plots the click-to-line latency distributions beside each frame's wire time at 9600 bit/s:
plot_latency.py latency-samples.json latency.png"""
import json
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

# 10 bits a byte on the line (start, 8 data, stop) at 9600 bit/s.
WIRE_US_PER_BYTE = 10 / 9600 * 1e6
SERIES = [
    ("click_to_line_1byte_us", "Clear Screen, 1 byte", 1),
    ("click_to_line_4byte_us", "Set Cursor Position, 4 bytes", 4),
    ("key_to_line_us", "key \"A\", 1 byte", 1),
    ("click_to_line_66byte_us", "Send Bitmap to LCD, 66 bytes", 66),
]


def main(samples_path, out_path):
    with open(samples_path) as f:
        samples = json.load(f)
    fig, ax = plt.subplots(figsize=(8, 4.2), dpi=100)
    data = [samples[key] for key, _, _ in SERIES]
    ax.boxplot(data, vert=False, whis=(1, 99), showfliers=False,
               labels=[label for _, label, _ in SERIES])
    for i, (_, _, size) in enumerate(SERIES, start=1):
        wire = size * WIRE_US_PER_BYTE
        ax.plot([wire], [i], marker="|", markersize=22, color="tab:red")
        ax.annotate("wire time %.1f ms" % (wire / 1000), (wire, i), xytext=(4, 8),
                    textcoords="offset points", fontsize=8, color="tab:red")
    ax.set_xscale("log")
    ax.set_xlabel("µs from the click until the bytes are readable at the peer\n"
                  "(box: quartiles, whiskers: 1st to 99th percentile)", fontsize=9)
    ax.set_title("Click to line, against the wire time of the same frame at 9600 bit/s",
                 fontsize=10)
    ax.grid(True, axis="x", which="both", alpha=0.3)
    fig.tight_layout()
    fig.savefig(out_path)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
