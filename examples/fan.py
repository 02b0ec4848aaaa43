"""Four moving heads in a fan: `figure_eight` at 124 BPM, each head a quarter loop after the one before.

One universe, heads at addresses 1, 17, 33 and 49; prints each head's pan and
tilt DMX values (16 bits) for a few frames. No hardware is needed.

  python examples/fan.py [--frames 8] [--fps 40]
"""
import argparse

from trovelin_show import Clock, Cue, Effect, Engine, Group, MovingHead, Show

parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
parser.add_argument("--frames", type=int, default=8)
parser.add_argument("--fps", type=float, default=40.0)
args = parser.parse_args()

heads = tuple(MovingHead(f"head{k + 1}", universe=1, address=1 + 16 * k) for k in range(4))
show = Show(heads, groups=(Group("fan", tuple(h.name for h in heads)),),
            cues=(Cue("fan", Effect("figure_eight", spread=1.0), bar=1),), clock=Clock(bpm=124.0))
engine = Engine(show)

for n in range(args.frames):
    frame = engine.frame(n / args.fps)
    dmx = frame.universes[1]
    pans_tilts = [(dmx[h.address - 1] << 8 | dmx[h.address], dmx[h.address + 1] << 8 | dmx[h.address + 2])
                  for h in heads]
    print(f"{frame.time_s:6.3f}s pip {frame.pip:8.2f}  " + "  ".join(f"{p:5d}/{t:5d}" for p, t in pans_tilts))
