"""Soak: a show run live for minutes at 44 frames a second, against the clock.

Runs the runner's own frame loop (trovelin_show.live.runner.play) on the fan
show, sending sACN to a receiver on a loopback port of its own, and prints:

- drift: for every frame, the pip it carries against the pip of the clock read
  just after its packets went out (the largest, in pips; the aim is under half
  a pip), and the frame's lateness against its slot, in pips and as a share of
  a frame;
- late frames: sent more than half a pip after their slot, and slots skipped;
- memory: resident size after a warm-up and at the end (the growth, in KiB; the
  figures kept for the percentiles are allocated before the run, so the growth
  is the runner's);
- the cost of a frame (compute and send) as a share of the frame's time.

  python bench/soak.py                 # ten minutes
  python bench/soak.py --seconds 60
"""
import argparse
import array
import os
import socket
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "src"))

from trovelin_show.live.runner import LiveShow, RunOptions, play  # noqa: E402
from trovelin_show.outputs import SendFailures, open_outputs  # noqa: E402
from trovelin_show.showfile import Output, read_show  # noqa: E402
from dataclasses import replace  # noqa: E402


def rss_kib():
    """Resident set size now, in KiB (Linux: /proc; elsewhere psutil, if there)."""
    try:
        with open("/proc/self/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    import psutil
    return psutil.Process().memory_info().rss // 1024


class Probe:
    """The last output of the run: reads the clock once the frame's packets have gone, as pips."""

    label = "probe"

    def __init__(self, live, clock):
        self.live, self.clock, self.failures = live, clock, SendFailures("probe")
        self.after_pip = None
        self.spent = 0.0

    def send(self, universes, positions):
        self.after_pip = self.live.engine.pip_at(self.clock())

    def close(self):
        pass


class Figures:
    """Takes the run's log line by line (it is written as a file would be) and keeps only the aggregates."""

    def __init__(self, probe, pips_per_second, fps, count, warmup_frames):
        self.probe, self.pps, self.fps, self.warmup = probe, pips_per_second, fps, warmup_frames
        self.frames = self.late = 0
        self.drift = self.lateness = 0.0
        # One slot a frame, made now: a list growing through the run would show up as the runner's memory.
        self.drifts, self.latenesses = array.array("d", bytes(8 * count)), array.array("d", bytes(8 * count))
        self.rss_start = None
        self.header = True

    def write(self, line):
        if self.header:
            self.header = False
            return
        frame, slot, time_s, pip, late_s = line.strip().split(",")
        drift = abs(self.probe.after_pip - float(pip))
        self.drift = max(self.drift, drift)
        self.drifts[self.frames] = drift
        late = float(late_s) * self.pps
        self.latenesses[self.frames] = late
        self.frames += 1
        self.lateness = max(self.lateness, late)
        self.late += late > 0.5
        if self.frames == self.warmup:
            self.rss_start = rss_kib()


def percentiles(values, count, shares=(0.5, 0.99, 0.999)):
    ordered = sorted(values[:count])
    return " / ".join(f"{ordered[min(len(ordered) - 1, int(share * len(ordered)))]:.3f}" for share in shares)


def load():
    """The machine's load average over the last minute, where the system tells it."""
    try:
        return f"{os.getloadavg()[0]:.2f}"
    except (AttributeError, OSError):
        return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=600.0)
    parser.add_argument("--fps", type=float, default=44.0)
    args = parser.parse_args()

    receiver = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    receiver.bind(("127.0.0.1", 0))
    receiver.settimeout(0.5)
    received = [0]
    done = threading.Event()

    def drain():
        while not done.is_set():
            try:
                receiver.recv(2048)
                received[0] += 1
            except socket.timeout:
                pass

    drainer = threading.Thread(target=drain, daemon=True)
    drainer.start()

    showfile = read_show(os.path.join(ROOT, "examples", "shows", "fan.toml"))
    port = receiver.getsockname()[1]
    showfile = replace(showfile, outputs=(Output("sacn", "127.0.0.1", port, (1,)),))
    live = LiveShow(showfile, None)
    clock = time.monotonic
    probe = Probe(live, clock)
    outputs = open_outputs(showfile.outputs) + [probe]
    count = round(args.seconds * args.fps)
    figures = Figures(probe, showfile.show.clock.bpm * 64 / 60, args.fps, count, warmup_frames=min(count, 440))

    busy = [0.0]

    def timed_sleep(seconds):  # what the loop does not sleep is its work
        busy[0] += seconds
        time.sleep(seconds)

    load_before = load()
    started = time.monotonic()
    cpu_started = time.process_time()
    try:
        tally = play(live, outputs, RunOptions(args.fps, count, True, figures), stop=lambda: False,
                     keys=lambda: [], say=lambda text: None, status=lambda text: None, clock=clock,
                     sleep=timed_sleep)
    finally:
        for output in outputs:
            output.close()
    elapsed = time.monotonic() - started
    cpu = time.process_time() - cpu_started
    rss_end = rss_kib()
    time.sleep(0.5)
    done.set()
    drainer.join()
    receiver.close()

    pip_ms = 1000.0 / figures.pps
    print(f"soak: {tally.frames} frames at {args.fps:g} fps over {elapsed:.1f} s (fan show, 124 BPM, sACN to "
          f"127.0.0.1:{port}; {received[0]} packets received, {outputs[0].failures.failed} failed sends)")
    print(f"  largest drift, pip carried against the clock after the send: {figures.drift:.4f} pip "
          f"(a pip is {pip_ms:.2f} ms; aim under 0.5); median / 99% / 99.9%: "
          f"{percentiles(figures.drifts, figures.frames)} pip")
    print(f"  largest lateness against the slot: {figures.lateness:.3f} pip "
          f"({figures.lateness * pip_ms:.2f} ms, {figures.lateness * pip_ms * args.fps / 1000:.3f} of a frame); "
          f"median / 99% / 99.9%: {percentiles(figures.latenesses, figures.frames)} pip")
    print(f"  frames late by more than half a pip: {figures.late} of {figures.frames}; slots skipped: "
          f"{tally.skipped}")
    print(f"  resident memory: {figures.rss_start} KiB after {figures.warmup} frames, {rss_end} KiB at the end "
          f"(growth {rss_end - (figures.rss_start or rss_end)} KiB)")
    print(f"  machine load (1-minute average, {os.cpu_count()} cores): {load_before} at the start, {load()} at the end")
    print(f"  process CPU: {cpu / elapsed:.3f} of one core; time not slept: "
          f"{(elapsed - busy[0]) / elapsed:.3f} of the run")


if __name__ == "__main__":
    main()
