"""beat_ entries: each gesture does what its sentence says over its style's score,
and the descriptions follow their three rules.

Onsets come from facts the style labels and notes state (four equal kicks for
four_floor, backbeats on 2 and 4 for ukg_two_step, ...), or are read off one
gesture defined to mark them (the bounce dips on every kick) and checked
against another; the tests that need every onset of every style read the
drum grids themselves (beat_scores.py), checked against the bounce's dips."""
import numpy as np
import pytest

from beat_scores import LANES, read_scores
from catalogue_listing import BEAT_GESTURES, BEAT_STYLES
from tables import INFO, maxima, rms_distance, table

STYLES = [s[0] for s in BEAT_STYLES]
GESTURES = [g[0] for g in BEAT_GESTURES]
PERIOD = {s[0]: s[2] for s in BEAT_STYLES}

# Onsets (pips) stated by a style's label, note or the drummer's reference it follows.
KICKS = {
    "four_floor": [0, 64, 128, 192],
    "house_classic": list(range(0, 512, 64)),
    "ukg_two_step": [0, 160, 256, 416],     # 1 and the & of 3
    # every beat, and ghost kicks swung 5/8 (the a lands 52 pips into its beat): 240, 368, 480, 496 nominal
    "house_jack": [0, 64, 128, 192, 244, 256, 320, 372, 384, 448, 480, 500],
}
BACKBEATS = {  # main snares
    "house_classic": [64, 192, 320, 448],
    "ukg_two_step": [64, 192, 320, 448],    # 2 and 4
    "drill_displaced": [128, 448],          # beat 3 of bar one, beat 4 of bar two
}
CLAVE = {"son_clave_32": [0, 96, 192, 320, 384], "son_clave_23": [64, 128, 256, 352, 448]}
POLYMETER_BLIPS = list(range(0, 768, 48))   # every three sixteenths, closing after three bars
AMEN_GHOSTS = [112, 144, 240, 368, 400, 496, 624, 656, 880, 912]
AMEN_MAINS = [0, 32, 64, 160, 176, 192, 256, 288, 320, 416, 432, 448, 512, 544, 576, 672, 736, 784, 800, 816, 832,
              928, 992]                     # kicks and main snares
SAME_LOOP = [[s for s in STYLES if PERIOD[s] == p] for p in sorted(set(PERIOD.values()))]
NO_GHOSTS = {"amen_four_bar", "amen_no_ghosts"}   # the A/B pair: only the quiet snares differ

# The bass lane of every style that has one, as its reference score writes it ('=' holds the note on),
# with the feel that moves its e, & and a (pips into the beat) where it is not straight.
BASS = {
    "speed_garage": "..x=..x=..x=..x=|..x=..x=...x=.x=", "bassline": ".x=x..x=.x=x..x=|.x=x..x=.x.x.xx=",
    "grime_sparse": "x..x......x.....|x..x.....x.x....", "grime_half": "x=======........|x=====......x===",
    "drill_tresillo": "x=========x=====|x======x========", "drill_displaced": "x======x==x=====|x=====x=x===....",
    "drill_rolls": "x==x======x=====|x=========x==x==", "dnb_half": "x=====x=........|x=========x==x==",
    "dubstep_half": "x===========....|x=========x=====", "dubstep_skip": "x======x...x====|x==x......x===x=",
    "trap_trills": "x=========xx====|x=====x==x======", "trance": "..x...x...x...x.|..x...x...x...x.",
    "amapiano": "...x=.x=..x=.x=.|x==..x=.x=.x=...", "footwork_triplet": "x==x==x==x==x===|x==x==x=........",
    "footwork_sparse": "x=====....x=====|x==x==x==x==....", "broken_push": "x==....x=.x===..|x=....x===x===x=",
    "reggae_one_drop": "..x=..x=x===....|..x=..x=x=..x===", "reggae_steppers": "x=.x..x.x=.x..x.|x=.x..x.x=.x..x.",
    "reggae_rockers": "x=.x=...x=.x=...|x=.x=...x===x=..", "son_clave_32": "......x=====x===|......x=====x===",
    "son_clave_23": "......x=====x===|......x=====x===", "psy_rolling": ".xxx.xxx.xxx.xxx|.xxx.xxx.xxx....",
    "psy_offbeat": "..xx..xx..xx..xx|..xx..xx..xxx.xx", "hard_reverse": ".x==.x==.x==.x==|.x==.x==.x==x===",
    "italo_machine": "x.x.x.x.x.x.x.x.|x.x.x.x.x.x.x.x.", "acid_percussion": "x.xX.xX.x.Xx.xX.|xx.X.xX=x.X.xX=x",
    "techno_rumble": ".x=..x=..x=..x=.|..x=..x=..x=.x==", "amapiano_answer": "x=====..........|x==x==x=x==x==x=",
    "dancehall_space": "x======.........|x=====....x=====",
}
FEELS = {"speed_garage": (64 / 3, 32, 160 / 3), "dubstep_skip": (64 / 3, 32, 160 / 3), "amapiano": (20, 32, 52),
         "amapiano_answer": (20, 32, 52), "reggae_one_drop": (16, 128 / 3, 48)}
BASS_TUPLETS = {"footwork_triplet": [(384, 40), (384 + 128 / 3, 40), (384 + 256 / 3, 40)]}   # the triplet reply


def bass_notes(style):
    """(onset, end) in pips of every bass note, swing applied."""
    e, et, a = FEELS.get(style, (16, 32, 48))

    def land(step):
        return 64 * (step // 4) + (0, e, et, a)[step % 4]

    steps = BASS[style].replace("|", "")
    notes = []
    for i, c in enumerate(steps):
        if c in "xXog":
            end = i + 1
            while end < len(steps) and steps[end] == "=":
                end += 1
            notes.append((land(i), land(end)))
    return sorted(notes + [(on, on + length) for on, length in BASS_TUPLETS.get(style, [])])


def rows(style, gesture):
    return table(f"beat_{style}_{gesture}")


def minima(v, ceiling):
    """Pips of local minima below ceiling, around the loop."""
    return maxima(-np.asarray(v), -ceiling)


def kicks(style):
    """Kick onsets read off the bounce: every dip below its resting height."""
    y = rows(style, "bounce")[:, 1]
    return minima(y, y.max() - 1e-9)


def near(pips, targets, period, tolerance=1):
    """Whether every pip lies within tolerance of one of the targets, around the loop."""
    return all(min(abs((p - t + period / 2) % period - period / 2) for t in targets) <= tolerance for p in pips)


def turns(xy):
    """Signed turns the x-y path winds about the origin over one loop, the seam included."""
    angle = np.arctan2(xy[:, 1], xy[:, 0])
    return np.angle(np.exp(1j * (np.roll(angle, -1) - angle))).sum() / (2 * np.pi)


# --- descriptions -------------------------------------------------------------

@pytest.mark.parametrize("name, text", [
    ("beat_house_classic_bounce", "House / kick-clap-offbeat hat \u2014 Kick-led bounce. "),
    ("beat_jersey_five_step", "Jersey / five-kick foundation \u2014 Snare side-step. "
                              "Original Kerno 05 alternating lateral kick and snare gestures."),
    # a style's note closes its first four gestures; its own title for the glide
    ("beat_ukg_two_step_glide", "UK garage / two-step foundation \u2014 Bass-and-phrase glide. Backbeats on 2/4; "
                                "the second kick sits on the & of 3. Off-grid hats supply shuffle."),
    # gestures 5 to 16 carry their sentence whatever the style
    ("beat_four_floor_spring", "Four to the floor / bare pulse \u2014 Causal spring. "
                               "An event starts at rest, then drives a damped ringing excursion."),
    ("beat_dembow_push_ricochet", "Reggaeton / dembow with pickup answer \u2014 Directional ricochet. "
                                  "Successive onsets send smooth excursions toward a cyclic series of targets."),
])
def test_descriptions_follow_their_rule(name, text):
    assert INFO[name]["description"] == text


def test_glide_titles_differ_by_whether_the_style_has_a_note():
    assert INFO["beat_house_classic_glide"]["description"].endswith("glide. ")
    assert ("Bass / phrase glide. Original Kerno 05 continuous phrase path with bass excursions."
            in INFO["beat_jersey_five_glide"]["description"])


# --- every style ----------------------------------------------------------------

@pytest.mark.parametrize("style", STYLES)
def test_a_styles_gestures_are_clearly_distinct(style):
    tables = [rows(style, g) for g in GESTURES]
    closest = min((rms_distance(tables[a], tables[b]), GESTURES[a], GESTURES[b])
                  for a in range(16) for b in range(a + 1, 16))
    assert closest[0] >= 0.05, closest


@pytest.mark.parametrize("gesture", GESTURES)
def test_every_gesture_tells_every_style_apart(gesture):
    """Every two styles of one loop length, the two claves among them, are at least 0.05 RMS apart; taking the
    ghost snares out of the Amen moves it only a little."""
    close = []
    for styles in SAME_LOOP:
        x = np.array([rows(st, gesture).ravel() for st in styles])
        sq = np.einsum("ij,ij->i", x, x)
        apart = np.sqrt(np.maximum(sq[:, None] + sq[None, :] - 2 * x @ x.T, 0.0) / x.shape[1])
        for i in range(len(styles)):
            for j in range(i + 1, len(styles)):
                pair, d = {styles[i], styles[j]}, apart[i, j]
                if (pair == NO_GHOSTS and not 0.01 <= d <= 0.12) or (pair != NO_GHOSTS and d < 0.05):
                    close.append((styles[i], styles[j], round(float(d), 4)))
    assert not close


@pytest.mark.parametrize("style", STYLES)
def test_peaks_use_the_field_but_leave_headroom(style):
    for g in GESTURES:
        peak = np.abs(rows(style, g)).max()
        assert 0.6 <= peak < 1.0 and peak != 0.82, (g, peak)


# --- the gestures ---------------------------------------------------------------

def test_bounce_over_bare_kicks_dips_on_each_kick_alone():
    r = rows("four_floor", "bounce")
    assert kicks("four_floor") == KICKS["four_floor"]
    assert len({r[k, 1] for k in KICKS["four_floor"]}) == 1, "equal kicks dip equally"
    assert (r[:, 0] == 0).all()


@pytest.mark.parametrize("style", [s for s in KICKS])
def test_bounce_dips_exactly_on_the_stated_kicks(style):
    assert kicks(style) == KICKS[style]


GHOST_KICKS = {"house_jack": [244, 372, 480, 500], "rave_breaks": [160, 304, 416, 496]}   # 12 to 48 pips before a kick


def jolts(r):
    """Change of velocity (as a vector) at every pip, from the step into it to the step out of it."""
    v = np.roll(r, -1, axis=0) - r
    return np.linalg.norm(v - np.roll(v, 1, axis=0), axis=1)


@pytest.mark.parametrize("gesture", ["bounce", "surge"])
@pytest.mark.parametrize("style", STYLES)
def test_bounce_and_surge_combine_close_kicks_without_a_jolt(style, gesture):
    """An ordinary kick changes speed by about 0.05 a pip; a ghost just before a main kick may add a little."""
    j = jolts(rows(style, gesture))
    assert j.max() <= 0.08, (int(np.argmax(j)), float(j.max()))


@pytest.mark.parametrize("gesture, axis, sign", [("bounce", 1, 1), ("surge", 2, -1)])
@pytest.mark.parametrize("style", GHOST_KICKS)
def test_a_ghost_kick_stays_its_own_small_dip(style, gesture, axis, sign):
    v = sign * rows(style, gesture)[:, axis]   # lower is deeper
    deepest = v.min()
    for g in GHOST_KICKS[style]:
        assert v[g] < v[g - 1] and v[g] < v[g + 1], g
        assert v[g] > deepest + 0.25 * np.ptp(v), "shallower than a main kick"
        assert v[g + 1:g + 12].max() - v[g] >= 0.03, "turns back up before the kick after it"


@pytest.mark.parametrize("style", [s for s in BACKBEATS])
def test_bounce_accents_the_snares_to_the_side(style):
    x = rows(style, "bounce")[:, 0]
    assert set(BACKBEATS[style]) <= set(maxima(x, 0.1 * x.max())), "every snare is a right-hand accent"


def steps_to(x, side):
    """Pips where the step reaches at least half its widest to one side (+1 right, -1 left)."""
    return maxima(side * x, 0.5 * np.abs(x).max())


@pytest.mark.parametrize("style", STYLES)
def test_step_goes_left_on_kicks_and_right_on_snares(style):
    x = rows(style, "step")[:, 0]
    period = PERIOD[style]
    lefts, rights = steps_to(x, -1), steps_to(x, 1)
    assert lefts and near(lefts, kicks(style), period), "every step to the left is a kick"
    if style in BACKBEATS:
        assert rights == BACKBEATS[style]
    if style in CLAVE:  # no snares: the percussion steps right, alone or taking turns with a kick on it
        assert near(rights, CLAVE[style] + [64, 192, 224, 320, 448, 480], period)
    if style == "four_floor":  # kicks alone take turns
        assert lefts == [0, 128] and rights == [64, 192]


@pytest.mark.parametrize("style", STYLES)
def test_step_reaches_both_sides_in_every_bar(style):
    x = rows(style, "step")[:, 0]
    widest = np.abs(x).max()
    for bar in x.reshape(-1, 256):
        assert bar.max() > 0.25 * widest and bar.min() < -0.25 * widest


@pytest.mark.parametrize("style, together, others", [
    ("reggae_one_drop", [128, 384], []),            # kick and cross-stick on beat 3, nothing else steps
    ("house_classic", [64, 192, 320, 448], [0, 128, 256, 384]),
    ("reggae_rockers", [128, 384], [0, 256]),
])
def test_step_takes_turns_through_kick_and_snare_together(style, together, others):
    x = rows(style, "step")[:, 0]
    order = sorted(together + others)
    sides = np.sign(x[order])
    assert (np.abs(x[order]) > 0.5 * np.abs(x).max()).all()
    assert (sides[1:] != sides[:-1]).all() and sides[0] != sides[-1]


@pytest.mark.parametrize("style", STYLES)
def test_orbit_turns_once_a_bar_faster_wider_and_deeper_together(style):
    r = rows(style, "orbit")
    assert turns(r) == pytest.approx(PERIOD[style] / 256, abs=1e-6)
    angle = np.arctan2(r[:, 1], r[:, 0])
    speed = np.abs(np.angle(np.exp(1j * (np.roll(angle, -1) - angle))))
    radius = np.hypot(r[:, 0], 1.1 * r[:, 1])
    # the speed answers the events a few pips late; compare over a short window
    lag = np.roll(speed, -4)
    assert np.corrcoef(lag, radius)[0, 1] > 0.5
    if INFO[f"beat_{style}_orbit"]["dimensions"] == 3:
        assert np.corrcoef(r[:, 2], radius)[0, 1] > 0.3


def test_orbit_hurries_and_widens_at_each_bare_kick():
    r = rows("four_floor", "orbit")
    angle = np.arctan2(r[:, 1], r[:, 0])
    speed = np.abs(np.angle(np.exp(1j * (np.roll(angle, -1) - angle))))
    radius = np.hypot(r[:, 0], r[:, 1])
    for k in KICKS["four_floor"]:
        assert speed[k + 2:k + 7].mean() > 2 * speed[k + 28:k + 36].mean()
        assert radius[k] > 1.5 * radius[k + 32]


def crossings(v):
    """Sign changes of v about its mid-range, around the loop."""
    high = v > (v.max() + v.min()) / 2
    return int(np.sum(high != np.roll(high, 1)))


def smoothed(v, width):
    """A running mean over `width` pips, around the loop."""
    return np.convolve(np.tile(v, 3), np.ones(width) / width, "same")[len(v):2 * len(v)]


def step_sizes(r):
    return np.abs(np.roll(r, -1, axis=0) - r).max(axis=1)


@pytest.mark.parametrize("style", STYLES)
def test_glide_is_a_smooth_phrase_path_whose_low_end_matches_the_dive(style):
    r = rows(style, "glide")
    assert turns(r) == pytest.approx(2 if PERIOD[style] >= 1024 else 1, abs=1e-6)
    assert step_sizes(r).max() < 0.1, "no hits in a glide"
    # the bass excursions push forward just where the dive plunges back
    assert np.corrcoef(r[:, 2], rows(style, "dive")[:, 2])[0, 1] < -0.4


@pytest.mark.parametrize("style", STYLES)
def test_surge_thrusts_through_depth_exactly_on_the_kicks(style):
    r = rows(style, "surge")
    z = r[:, 2]
    thrusts = maxima(z, z.min() + 1e-9)
    assert near(thrusts, kicks(style), PERIOD[style]) and near(kicks(style), thrusts, PERIOD[style])
    assert np.ptp(r[:, 0]) < 0.7 * np.ptp(z), "the hats only add detail"
    if style in BACKBEATS:
        assert set(BACKBEATS[style]) <= set(maxima(r[:, 1], r[:, 1].min())), "snares lift"


@pytest.mark.parametrize("style", [s for s in BACKBEATS])
def test_recoil_pushes_aside_on_snares_and_counters_down_on_kicks(style):
    """Each is a reaction that reaches its fullest a few pips after its hit (nine or ten pips later for a snare's
    push, eleven for a kick's counter)."""
    r = rows(style, "recoil")
    assert near([b + 10 for b in BACKBEATS[style]], maxima(r[:, 0], 0.3 * r[:, 0].max()), PERIOD[style], 1)
    assert near([k + 11 for k in KICKS.get(style, kicks(style))], minima(r[:, 1], r[:, 1].max()), PERIOD[style], 2)


SCORES = read_scores()


@pytest.mark.parametrize("style", STYLES)
def test_the_scores_read_from_their_grids_are_the_ones_the_gestures_play(style):
    """The onsets the next test holds the gestures to: every kick written is a dip of the bounce and every dip a
    written kick; the bass lines are the ones written out above."""
    score = SCORES[style]
    assert score["period"] == PERIOD[style]
    written = [pip for pip, _, _ in score["kick"]]
    assert near(kicks(style), written, PERIOD[style]) and near(written, kicks(style), PERIOD[style])
    assert [pip for pip, _, _ in score["bass"]] == pytest.approx([on for on, _ in bass_notes(style)] if style in BASS
                                                                 else [])


def onsets(style):
    """Every onset of the style's score, of every lane."""
    return sorted({pip for lane in LANES for pip, _, _ in SCORES[style][lane]})


def setting_off(v):
    """The pips at which a coordinate that has stood still (three equal values or more) is about to move."""
    still = (v == np.roll(v, 1)) & (v == np.roll(v, 2))
    return np.flatnonzero(still & (np.roll(v, -1) != v))


def early_starts(style, gesture, lead=()):
    """(axis, pip) of every setting-off that no onset of the score causes there; `lead` gives an axis a delay
    after its onsets at which it may set off too. Also how many settings-off there were."""
    period, hits = PERIOD[style], onsets(style)
    r = rows(style, gesture)
    early, seen = [], 0
    for axis in range(3):
        causes = hits + [(o + d) % period for d in dict(lead).get(axis, ()) for o in hits]
        for pip in setting_off(r[:, axis]):
            seen += 1
            if not any(0 <= (o - pip) % period < 1 for o in causes):   # an onset within this pip's step
                early.append((axis, int(pip)))
    return early, seen


@pytest.mark.parametrize("style", STYLES)
@pytest.mark.parametrize("gesture", ["recoil", "ricochet"])
def test_recoil_and_ricochet_set_off_only_on_an_onset_of_their_score(style, gesture):
    """Wherever either stands still and then moves, it moves on a hit: nothing sets off ahead of what moves
    it. (Recoil's echo draws back through depth from eight pips after its hit, at its fullest at 24.)"""
    early, seen = early_starts(style, gesture, lead={2: (8,)} if gesture == "recoil" else {})
    assert seen >= 1 and early == []


def test_the_onset_check_sees_a_gesture_that_sets_off_ahead_of_its_hits():
    """Surge arrives on the beat (the thrust at its fullest on the kick), so it sets off before the kick."""
    early, _ = early_starts("four_floor", "surge")
    assert len(early) >= 4
    assert all(min((k - pip) % 256 for k in KICKS["four_floor"]) <= 16 for _, pip in early), "just ahead of a kick"


@pytest.mark.parametrize("gesture", ["recoil", "ricochet"])
def test_recoil_and_ricochet_rest_until_the_kick_that_moves_them(gesture):
    r = rows("four_floor", gesture)
    for k in KICKS["four_floor"]:
        before = r[np.arange(k - 16, k + 1) % 256]
        assert (before == before[0]).all(), k
        assert (r[k + 1] != r[k]).any(), "and leave rest at once"


@pytest.mark.parametrize("gesture", ["recoil", "ricochet"])
def test_recoil_and_ricochet_tell_the_amen_pair_apart_only_from_the_first_ghost_on(gesture):
    """The two scores are the same until the ghost snare on pip 112: up to scale and centring, so are the two
    gestures, and they differ after it."""
    a, b = rows("amen_four_bar", gesture), rows("amen_no_ghosts", gesture)
    for axis in range(3):
        x, y = b[:113, axis], a[:113, axis]
        fit = np.polyval(np.polyfit(x, y, 1), x)
        assert np.abs(fit - y).max() < 1e-9, axis
    assert np.abs(a[113:125] - b[113:125]).max() > 0.01


@pytest.mark.parametrize("style", ["four_floor", "house_classic"])
def test_recoil_draws_back_on_a_late_echo_of_each_kick(style):
    z = rows(style, "recoil")[:, 2]
    backs = minima(z, z.max())
    assert [k + 24 for k in KICKS[style]] == [b for b in backs if z[b] < (z.max() + z.min()) / 2]


@pytest.mark.parametrize("style", STYLES)
def test_flutter_swings_a_wide_arch_once_a_bar(style):
    r = rows(style, "flutter")
    smooth = np.array([smoothed(r[:, a], 15) for a in range(3)]).T
    assert crossings(smooth[:, 0]) == 2 * PERIOD[style] // 256
    assert np.corrcoef(smooth[:, 1], smooth[:, 0] ** 2)[0, 1] < -0.8, "high in the middle, low at the sides"
    assert np.abs(r - smooth)[:, :2].max() < 0.3 * np.ptp(r[:, 0]), "tremors are small beside the arc"


def turns_back(v, least):
    """(peaks, troughs): pips where v turns back after moving at least `least` one way, around the loop."""
    n, start = len(v), int(np.argmax(v))
    peaks, troughs, at, rising = [start], [], start, False
    for k in range(1, n + 1):
        i = (start + k) % n
        if (v[i] > v[at]) == rising:
            at = i
        elif abs(v[i] - v[at]) >= least:
            (peaks if rising else troughs).append(at)
            at, rising = i, not rising
    return sorted(set(peaks)), sorted(set(troughs))


def gaps_around(pips, period):
    return [b - a for a, b in zip(pips, pips[1:] + [pips[0] + period])] if len(pips) > 1 else []


def test_flutter_trembles_only_where_there_are_hats():
    assert step_sizes(rows("four_floor", "flutter")).max() < 0.05, "no hats, no tremor"


@pytest.mark.parametrize("style", STYLES)
def test_flutter_turns_back_no_sooner_than_twelve_pips_on(style):
    """No tremor cycles faster than 12 pips (10 Hz at 120 BPM): on every axis, peaks (and troughs) of any
    turn worth seeing (3 % of the field) are 12 pips apart or more."""
    r = rows(style, "flutter")
    for axis in range(3):
        for pips in turns_back(r[:, axis], 0.03):
            assert min(gaps_around(pips, len(r)), default=len(r)) >= 12, (axis, pips)


HATS = {  # stated hat (or shaker) onsets of styles whose hats stand apart
    "house_classic": list(range(32, 512, 64)),      # open hat on every offbeat eighth
    "grime_sparse": [128, 384, 480],                # almost no hats
    "dancehall_space": list(range(0, 512, 64)),     # a quarter-note shaker
}


@pytest.mark.parametrize("style", HATS)
def test_flutter_trembles_from_each_hat_on_and_never_before_it(style):
    r = rows(style, "flutter")
    bend = np.abs(np.roll(r, -1, 0) - 2 * r + np.roll(r, 1, 0)).max(axis=1)
    for hat in HATS[style]:
        before = bend[np.arange(hat - 12, hat) % len(r)].mean()
        after = bend[np.arange(hat + 1, hat + 13) % len(r)].mean()
        assert after > 2 * before, hat


@pytest.mark.parametrize("style, strokes", [("four_floor", KICKS["four_floor"]),
                                            ("ukg_two_step", sorted(KICKS["ukg_two_step"] + BACKBEATS["ukg_two_step"]))])
def test_dive_counterweight_alternates_sides_stroke_by_stroke(style, strokes):
    r = rows(style, "dive")
    signs = np.sign(r[strokes, 0])
    assert (signs == [(-1) ** k for k in range(len(strokes))]).all()
    assert (r[strokes, 1] > np.median(r[:, 1])).all(), "each stroke lifts"


def sounding(style):
    """Pips of the loop at which a bass note sounds."""
    on = np.zeros(PERIOD[style], bool)
    for start, end in bass_notes(style):
        on[np.arange(int(np.ceil(start)), int(np.ceil(end))) % PERIOD[style]] = True
    return on


@pytest.mark.parametrize("style", [s for s in BASS if not sounding(s).all()])
def test_dive_depth_moves_while_the_bass_sounds_more_than_while_it_rests(style):
    z = rows(style, "dive")[:, 2]
    moves = np.abs(np.roll(z, -1) - z)  # from each pip to the next
    on = sounding(style)
    assert moves[on].mean() > 2 * moves[~on].mean()


@pytest.mark.parametrize("style, shallow, deep", [
    ("drill_displaced", 352, 384),   # two sixteenths against a beat, as loud
    ("drill_displaced", 112, 160),   # three sixteenths against six
    ("acid_percussion", 0, 48),      # a sixteenth against an accented sixteenth
])
def test_dive_plunges_as_deep_as_a_bass_note_is_loud_and_long(style, shallow, deep):
    z = rows(style, "dive")[:, 2]
    notes = dict(bass_notes(style))

    def plunge(onset):
        return z.max() - z[int(onset):int(notes[onset])].min()

    assert plunge(shallow) < 0.95 * plunge(deep)


def test_dive_without_a_bass_lane_plunges_from_kick_to_kick():
    z = rows("four_floor", "dive")[:, 2]
    assert minima(z, z.max()) == [32, 96, 160, 224]
    assert (z[KICKS["four_floor"]] == z.max()).all()


@pytest.mark.parametrize("gesture", ["bounce", "step", "surge", "dive", "ricochet"])
def test_taking_the_ghosts_out_leaves_every_main_hit_alone(gesture):
    """Every kick and main snare of the Amen keeps its side, target and size without the ghosts."""
    with_ghosts, without = rows("amen_four_bar", gesture), rows("amen_no_ghosts", gesture)
    mains = [m + d for m in AMEN_MAINS for d in range(12)]   # a reaction reaches its fullest within these
    assert np.abs(with_ghosts[mains] - without[mains]).max() < 0.01
    ghosts = np.abs(with_ghosts - without)[[g + d for g in AMEN_GHOSTS for d in range(12)]].max()
    assert ghosts > 0.02, "the ghosts themselves move it"


@pytest.mark.parametrize("style", STYLES)
def test_pendulum_hangs_and_swings_twice_a_bar(style):
    r = rows(style, "pendulum")
    assert np.corrcoef(r[:, 1], r[:, 0] ** 2)[0, 1] > 0.95, "the bob rises toward either end of its swing"
    assert crossings(r[:, 0]) == 2 * PERIOD[style] // 128


def test_pendulum_answers_the_score():
    even = rows("four_floor", "pendulum")
    assert np.allclose(np.roll(even[:, 0], -64), -even[:, 0], atol=1e-9), "equal beats, equal swings"
    x = rows("amen_four_bar", "pendulum")[:, 0]
    ends = np.abs(x[maxima(np.abs(x))])
    assert ends.max() > 1.1 * ends.min(), "busier passages swing wider"
    changes = np.flatnonzero(np.sign(x) != np.sign(np.roll(x, 1)))
    assert np.ptp(np.diff(changes)) >= 6, "and faster"


@pytest.mark.parametrize("style", STYLES)
def test_figure8_crosses_at_the_centre_once_a_lobe(style):
    r = rows(style, "figure8")
    x, y = r[:, 0], r[:, 1]
    centre = np.flatnonzero(np.sign(x) != np.sign(np.roll(x, 1)))
    assert len(centre) == 2 * PERIOD[style] // 256
    assert (np.abs(y[centre]) < 0.2 * np.abs(y).max()).all()


@pytest.mark.parametrize("style", [s for s in BACKBEATS])
def test_figure8_lifts_at_the_snares(style):
    z = rows(style, "figure8")[:, 2]
    lifts = sorted(maxima(z), key=lambda p: -z[p])[:len(BACKBEATS[style])]
    assert near(lifts, BACKBEATS[style], 512, 3)


@pytest.mark.parametrize("style", STYLES)
def test_box_tours_four_rounded_corners_once_a_bar(style):
    r = rows(style, "box")
    tours = PERIOD[style] // 256
    assert turns(r) == pytest.approx(tours, abs=1e-6)
    radius = np.hypot(r[:, 0], r[:, 1])
    corners = maxima(radius, 0.95 * radius.max())
    assert len(corners) == 4 * tours
    bearing = np.degrees(np.arctan2(r[corners, 1], r[corners, 0])) % 90
    assert (np.abs(bearing - 45) < 10).all(), "the corners sit on the diagonals"


def test_box_hurries_at_the_kicks():
    r = rows("four_floor", "box")
    speed = np.hypot(*(np.roll(r, -1, axis=0) - r)[:, :2].T)
    for k in KICKS["four_floor"]:
        assert speed[k:k + 9].mean() > 1.5 * speed[k + 28:k + 37].mean()


@pytest.mark.parametrize("style", STYLES)
def test_corkscrew_makes_two_turns_on_one_depth_wave(style):
    r = rows(style, "corkscrew")
    assert turns(r) == pytest.approx(2, abs=1e-6)
    assert crossings(smoothed(r[:, 2], 33)) == 2


@pytest.mark.parametrize("style, perc", [("techno_polymeter", POLYMETER_BLIPS), ("son_clave_32", CLAVE["son_clave_32"]),
                                         ("son_clave_23", CLAVE["son_clave_23"])])
def test_corkscrew_widens_on_the_percussion(style, perc):
    r = rows(style, "corkscrew")
    radius = np.hypot(r[:, 0], r[:, 1])
    widest = maxima(radius, radius.min() + 0.25 * np.ptp(radius))
    assert set(perc) <= set(widest)
    if style == "techno_polymeter":
        assert widest == perc


@pytest.mark.parametrize("style", STYLES)
def test_spiral_opens_and_closes_over_a_double_turn(style):
    r = rows(style, "spiral")
    n = len(r)
    assert turns(r) == pytest.approx(2, abs=1e-6)
    radius = np.hypot(r[:, 0], r[:, 1])
    assert max(radius[0], radius[-1]) < 0.35 * radius.max()
    assert n // 4 <= np.argmax(radius) < 3 * n // 4
    quarters = radius.reshape(4, -1).mean(axis=1)
    assert quarters[0] < quarters[1] and quarters[2] > quarters[3]
    bend = np.abs(np.roll(r, -1, 0) - 2 * r + np.roll(r, 1, 0)).max(axis=1)
    around = np.r_[bend[-16:], bend[1:17]]
    assert bend[0] <= 1.5 * around.max() + 1e-9, "the seam bends like the sixteenths either side of it"


@pytest.mark.parametrize("style", STYLES)
def test_slalom_weaves_through_gates_down_and_back(style):
    r = rows(style, "slalom")
    gates = 5 if PERIOD[style] >= 768 else 3
    assert crossings(smoothed(r[:, 0], 21)) == 2 * gates, "snare cutbacks aside"
    assert crossings(smoothed(r[:, 1], 33)) == 2, "down once and back up"


def test_slalom_lifts_on_kicks_and_draws_back_in_depth():
    r = rows("four_floor", "slalom")
    for k in KICKS["four_floor"]:
        window = np.arange(k - 12, k + 13) % 256
        lift = r[window, 1] - np.linspace(r[window[0], 1], r[window[-1], 1], 25)
        assert abs(int(np.argmax(lift)) - 12) <= 2
        assert abs(int(np.argmin(r[window, 2])) - 12) <= 4


def test_spring_starts_from_rest_at_each_kick_and_rings_down():
    r = rows("four_floor", "spring")
    peak = np.abs(r).max()
    for k in KICKS["four_floor"]:
        assert np.abs(r[k - 1]).max() < 0.03 * peak, "at rest before the kick"
        assert np.abs(r[k] - r[k - 1]).max() < 0.02 * peak, "and still at rest as it lands"
        y = r[k:k + 64, 1]
        assert np.abs(y[:16]).max() > 0.6 * peak
        swings = [abs(y[p]) for p in range(1, 63) if abs(y[p]) >= max(abs(y[p - 1]), abs(y[p + 1]))]
        assert len(swings) >= 3 and all(a > b for a, b in zip(swings, swings[1:])), "rings down"


def reached(r, pips):
    """Where each stroke's excursion gets to: the farthest point within 20 pips after its onset."""
    out = []
    for p in pips:
        window = r[np.arange(p, p + 20) % len(r)]
        out.append(window[np.argmax(np.linalg.norm(window, axis=1))])
    return np.array(out)


def ways(r, pips):
    far = reached(r, pips)
    return far / np.linalg.norm(far, axis=1)[:, None]


@pytest.mark.parametrize("style, pips, cycle", [
    ("four_floor", KICKS["four_floor"], 2),             # kicks alone: low left, low right, in turn
    ("house_classic", list(range(32, 512, 64)), 3),     # offbeat hats alone: round a fan of three
])
def test_ricochet_walks_each_lane_round_its_own_targets(style, pips, cycle):
    way = ways(rows(style, "ricochet"), pips)
    assert (np.einsum("ij,ij->i", way[:-cycle], way[cycle:]) > 0.99).all(), "back to the same target"
    assert (np.einsum("ij,ij->i", way[:-1], way[1:]) < 0.9).all(), "each stroke heads somewhere new"


@pytest.mark.parametrize("style, pips, axis, sign", [
    ("house_classic", [0, 128, 256, 384], 1, -1),   # kicks low
    ("house_classic", list(range(32, 512, 64)), 1, 1),   # hats high
    ("drill_displaced", [448], 0, 1),               # the moved snare out to the right
    ("techno_toms", [48, 176], 0, -1),               # the high tom alone, out to the left
])
def test_ricochet_sends_each_lane_its_own_way(style, pips, axis, sign):
    assert (sign * reached(rows(style, "ricochet"), pips)[:, axis] > 0).all()


# Hat trills and rolls, as their scores write them, and the onsets of the other lanes of those styles.
TRILLS = [("trap_trills", [192 + 8 * k for k in range(9)]),              # thirty-seconds into the downbeat hat
          ("trap_trills", [448 + 32 / 3 * k for k in range(6)]),         # sixteenth triplets
          ("drill_rolls", [384 + 64 / 3 * k for k in range(6)])]         # the triplet fill
TRILL_HATS = {"trap_trills": [0, 32, 64, 96, 128, 160, 288, 320, 352, 384, 416],
              "drill_rolls": [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352]}
NOT_HATS = {"trap_trills": [0, 128, 160, 176, 256, 352, 384, 400], "drill_rolls": [0, 48, 128, 160, 256, 384, 416, 464]}


def detail(r, width):
    """How far the point strays at every pip from its running mean over `width` pips: motion at that rate."""
    n, w = len(r), int(round(width))
    mean = np.array([np.convolve(np.tile(r[:, a], 3), np.ones(w) / w, "same")[n:2 * n] for a in range(3)]).T
    return np.linalg.norm(r - mean, axis=1)


def rms_over(d, start, length):
    return float(np.sqrt(np.mean(d[np.arange(int(np.ceil(start)), int(np.ceil(start + length))) % len(d)] ** 2)))


@pytest.mark.parametrize("gesture", GESTURES)
@pytest.mark.parametrize("style, hits", TRILLS)
def test_a_trill_trembles_clearly_over_the_hats_for_its_whole_length(style, hits, gesture):
    """A tremor at a rate a fixture shows (the fewest hits that take 12 pips make a cycle), and over every cycle
    of the trill at least twice what the hats clear of the other lanes stir at that rate (their median)."""
    r = rows(style, gesture)
    spacing = hits[1] - hits[0]
    cycle = spacing * np.ceil(12 / spacing - 1e-9)
    d = detail(r, cycle)
    clear = [h for h in TRILL_HATS[style] if all(min(abs(h - o), PERIOD[style] - abs(h - o)) >= 16
                                                  for o in NOT_HATS[style])]
    hats = np.median([rms_over(d, h, cycle) for h in clear])
    weakest = min(rms_over(d, a, cycle) for a in np.arange(hits[0], hits[-1] - cycle + 1e-9))
    assert weakest >= 2 * hats, (weakest, hats)
