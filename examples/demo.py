"""Print a few beats of a rudiment as a player would see them in real time.

Callers keep their own clock: seconds since the music's beat zero become a
pip count at the current tempo, and the pip becomes a position.
"""
import sys

import trovelin


def pip_at(seconds, bpm):
    """The nearest pip to `seconds` after beat zero at `bpm` beats per minute."""
    return round(seconds * bpm / 60.0 * trovelin.PIPS_PER_BEAT)


def main(name="circle", bpm=120.0, beats=2, frames_per_beat=8):
    print(f"{name} at {bpm:g} BPM, {frames_per_beat} frames a beat")
    print(f"{'seconds':>8} {'pip':>5}   {'x':>7} {'y':>7} {'z':>7}")
    seconds_per_frame = 60.0 / bpm / frames_per_beat
    for frame in range(beats * frames_per_beat + 1):
        t = frame * seconds_per_frame
        pip = pip_at(t, bpm)
        x, y, z = trovelin.sample(name, pip).as_tuple()
        print(f"{t:8.3f} {pip:5d}   {x:+7.3f} {y:+7.3f} {z:+7.3f}")


if __name__ == "__main__":
    args = sys.argv[1:]
    main(args[0] if args else "circle", float(args[1]) if len(args) > 1 else 120.0)
