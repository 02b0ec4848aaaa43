"""A take: record a few beats of a motion into a SampledRecording and read it back by pip.

A recording keeps what was played: one row per pip from the pip where the take
began, on named axes, with the tempo and beat origin it was taken at. It does
not loop: a pip outside the take raises IndexError.

  python examples/take.py figure_eight --bpm 96 --beats 4 --start-beat 8
"""
import argparse

import trovelin

PPB = trovelin.PIPS_PER_BEAT
AXES = ["x", "y", "z"]


def record(name, bpm, beats, start_pip, beat_zero_seconds):
    """Every pip of `beats` beats of a motion from start_pip on, on as many axes as it moves."""
    dims = next(d["dimensions"] for d in trovelin.catalogue() if d["name"] == name)
    rows = [list(trovelin.sample(name, pip).as_tuple()[:dims]) for pip in range(start_pip, start_pip + beats * PPB)]
    return trovelin.SampledRecording(f"take_{name}", AXES[:dims], rows, bpm=bpm,
                                     beat_zero_seconds=beat_zero_seconds, start_pip=start_pip)


def seconds_at(take, pip):
    """When a pip of the take sounded, on the clock it was taken with."""
    return take.beat_zero_seconds + pip / PPB * 60.0 / take.bpm


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("name", nargs="?", default="figure_eight", help="any default motion")
    parser.add_argument("--bpm", type=float, default=120.0)
    parser.add_argument("--beats", type=int, default=4, help="how many beats to record")
    parser.add_argument("--start-beat", type=int, default=8, help="the beat where the take begins")
    parser.add_argument("--beat-zero", type=float, default=0.0, help="seconds of beat zero on the take's clock")
    args = parser.parse_args(argv)
    if args.beats < 1:
        parser.error("--beats must be at least 1")

    take = record(args.name, args.bpm, args.beats, args.start_beat * PPB, args.beat_zero)
    first, last = take.start_pip, take.start_pip + take.sample_count - 1
    print(f"{take.name}: {take.sample_count} rows on axes {', '.join(take.dimensions)} at {take.bpm:g} BPM, "
          f"pips {first} to {last} ({seconds_at(take, first):.3f} s to {seconds_at(take, last):.3f} s)")
    for pip in range(first, last + 1, PPB // 2):
        values = "  ".join(f"{a} {v:+.6f}" for a, v in zip(take.dimensions, take.sample(pip)))
        print(f"  pip {pip:6d}  {seconds_at(take, pip):8.3f} s  {values}")
    for pip in (first - 1, last + 1):
        try:
            take.sample(pip)
        except IndexError as outside:
            print(f"  pip {pip:6d}  {outside}")


if __name__ == "__main__":
    main()
