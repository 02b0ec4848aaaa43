"""The families of motions, each in a sentence or two for someone who has never seen it.

A default's family is the prefix of its name (`lfo_breathe` is of the `lfo`
family), apart from the fifteen rudiments, the module's own functions, which
form the family `rudiments`. A user's own patterns form the family `yours`.
"""
from __future__ import annotations

from typing import Collection, Dict

RUDIMENTS = "rudiments"
YOURS = "yours"

# What each family is, and what it is good for on a rig.
FAMILIES: Dict[str, str] = {
    RUDIMENTS: "The fifteen basic moves: bounce, sway, circle, figure eight, steps and a helix, and seven drum "
               "stickings where right and left hands push the point right and left. Short loops of one to four "
               "beats, a first stop for any rig.",
    "lfo": "Slow, rounded control shapes: sines, swells, pumps and gentle orbits over four to sixteen beats. "
           "Calm background movement for verses, intros and held moments.",
    "rhythm": "Gestures placed on a rhythm: evenly spread onsets, three against two, half time, odd meters. "
              "For moving heads that should lean and nod with the beat rather than glide.",
    "rudiment": "Drum sticking studies (paradiddles, six-stroke, flam accent) shown as right and left moves. "
                "Busy, even patterns of quick hits for fills and rolls.",
    "ease": "An outward move and its return with an easing curve: rebound, anticipation, overshoot, elastic. "
            "Single-axis reveals and returns with a character at the ends.",
    "akwf": "Single-cycle synthesizer waveforms slowed to four beats on one axis: saws, lobes and plateaus. "
            "Asymmetric pans that push one way and snap or ease back.",
    "groove": "Two bars of a played funk groove and the same hits quantised to a grid. Loose, human-feeling "
              "hits for funk and disco, or compare the straight version.",
    "path": "Classic closed curves: Lissajous, roses, an astroid, a torus knot, a slider-crank. Flowing shapes "
            "that read clearly as a drawing in the air.",
    "wave": "Shaped control waves on one axis over eight beats: pinched, folded, squared, rippled. Side-to-side "
            "pans with more character than a plain sine.",
    "env": "Envelopes over an eight-beat phrase: lift, hold, settle, breathe, with smooth resting joins. "
           "Builds and releases that follow a phrase, good for slow reveals.",
    "seq": "Programmed position sequences: the point moves between set positions with softened transitions. "
           "Step-like looks, a position chase that holds each spot for a moment.",
    "noise": "Smooth pseudo-random drift, orbit, ripple and depth paths that still loop exactly. Organic, "
             "unpredictable-looking wander for ambient moments.",
    "orbit": "Ellipses with small harmonic ripples riding on them. Round, continuous orbits with a little "
             "texture, for steady circling beams.",
    "weave": "Two axes cycling at different whole-number rates over sixteen beats: closed weaving Lissajous "
             "figures. Slow, intricate crossing patterns for wide stages.",
    "polar": "Roses with three to twelve petals and scalloped loops drawn around a centre. Fans of beams "
             "leaving and returning to the middle, or a rounded flower outline.",
    "spiro": "Spirograph traces of a circle rolling inside or outside another over sixteen beats. Looping, "
             "flowing rosettes, from star-like to round.",
    "space": "Knots round a torus and three-axis weaves that use depth as well as pan and tilt. For rigs that "
             "map z, such as zoom or a third axis.",
    "mech": "Machine motions: pistons, cranks, cams, escapements and rocking beams. Mechanical, regular "
            "back-and-forth with quick returns and pauses.",
    "euclid": "Accents spread as evenly as possible over a bar of eighth notes, alternating sides, the first "
              "one strongest. Rhythmic hits that feel off-kilter but even.",
    "poly": "Two pulse trains at different rates that meet every eight beats, one of them reaching into depth. "
            "Polyrhythmic hits for busy, interlocking looks.",
    "meter": "Odd-meter bars (5/8, 7/8, 11/8 ...) with the group starts leaning left and right. Hits that "
             "follow uneven bar groupings.",
    "swing": "Rhythmic scores with swung offbeats, from light to heavy swing: peaks follow the notes. Nods and "
             "hits with a shuffle feel.",
    "stick": "Right and left hand movement studies with accented leads, answered with the hands swapped. "
             "Drum-like hits in alternating directions.",
    "gesture": "Single-point body-like gestures: reaches, scoops, arcs, taps, push and pull. Expressive, "
               "human-scale moves for featured moments.",
    "ribbon": "A curved elliptical spine with width and depth that vary along it. Flowing three-axis ribbons "
              "for slow, sculpted movement.",
    "contour": "Rounded-square and oval outlines with ripples and a bow. Smooth outlines that trace the edge "
               "of an area.",
    "silhouette": "Outlines built from three harmonics with a touch of depth. Organic closed shapes, "
                  "smooth and asymmetric.",
    "spline": "Smooth curves through hand-placed control points: kites, cups, bridges, crowns. Distinct, "
              "flowing silhouettes that are easy to recognise.",
    "tour": "Tours of the points of a star polygon with eased corners and pauses of different lengths. "
            "Position-to-position moves that hold at each corner.",
    "scan": "A serpentine scan back and forth across an area, then a return to the start. Search-light "
            "sweeps over the audience or a wall.",
    "reach": "Several shaped reaches out from a shared centre and back. Fans of beams thrown out and "
             "recalled, good for accents around a home position.",
    "surface": "Paths over a sphere-like surface, winding in longitude and latitude with all three axes. "
               "Rich, continuous three-axis motion.",
    "braid": "A tube's centreline with a rolling cross-section and a depth ripple. Twisting, braided "
             "three-axis loops.",
    "arm": "The tip of a two-link arm driven by two joints. Limb-like swings and curls.",
    "dwell": "Two lift-and-hold gestures, a transfer and a settling return. Slow moves that hold a position "
             "for a while: looks with a pause.",
    "packet": "Bursts of small smooth oscillation placed around a phrase. Shimmers and wobbles that come "
              "and go.",
    "canon": "A motif that passes between side-to-side and depth and comes back changed. Call-and-response "
             "movement over two bars.",
    "echo": "A decaying call and a differently aimed answer, echoes spaced exactly. Hits that fade out, "
            "then answer from another direction.",
    "ladder": "Four two-beat regions, each with its own subdivision density, accents on each region. Hits "
              "that speed up and slow down through a phrase, good for builds.",
    "necklace": "A fixed accent pattern on one side and its complement on the other, rising accents adding "
                "depth. Interlocking left-right hits.",
    "accent": "A steady pulse over four bars while a two-accent motif moves from bar to bar. Regular hits "
              "with a shifting emphasis.",
    "triplet": "Triplet-grid gestures with deliberate gaps. Rolling, three-feel hits with space in them.",
    "dialogue": "Groups of eighth notes of different lengths passing a phrase between directions. "
                "Conversational moves in odd groupings.",
    "burst": "Three uneven bursts of quick moves with gaps, then a late settling accent. Stabs and flurries "
             "for drops and hits.",
    "beat": "Sixty-eight drum-groove styles (house, techno, garage, drum and bass, dubstep, reggaeton ...) "
            "each as sixteen gestures paced by its kick, snare, hats and bass. Pick the style of the track, "
            "then the gesture: bounce, orbit, pendulum, spiral, ricochet and more.",
    YOURS: "Your own patterns, from the file given with --file.",
}


def family_of(name: str, rudiments: Collection[str]) -> str:
    """The family of a default: the rudiments, or the prefix of its name."""
    return RUDIMENTS if name in rudiments else name.split("_", 1)[0]


def sentences(family: str) -> str:
    """What a family is and is good for ('' for a family not described here)."""
    return FAMILIES.get(family, "")
