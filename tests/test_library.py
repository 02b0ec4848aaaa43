"""PatternLibrary: pack validation, sampling by name, listings."""
import pytest

import trovelin
from helpers import bits

SP, PL = trovelin.SampledPattern, trovelin.PatternLibrary
KEYS = ["name", "description", "period_pips", "dimensions"]
BOUNCE_DESCRIPTION = "One-beat vertical bounce"
BOUNCE_ROWS = [trovelin.sample("bounce", i).as_tuple() for i in range(64)]
ROWS_65535 = [(0.25, 0.0, 0.0)] * 65535


def small(name, n=4, description=""):
    return SP(name, description, [(i / n, 0.0, 0.0) for i in range(n)])


def refusal(pack):
    with pytest.raises(ValueError) as info:
        PL(pack)
    return str(info.value)


@pytest.fixture(scope="module")
def sixteen_full():
    """Sixteen patterns of 65535 samples: 1,048,560, sixteen short of the pack limit."""
    return [SP(f"full_{i}", "", ROWS_65535) for i in range(16)]


@pytest.fixture(scope="module")
def bounce_copy():
    return SP("bounce", BOUNCE_DESCRIPTION, BOUNCE_ROWS)


def default_names():
    return [d["name"] for d in trovelin.catalogue()]


def test_pattern_count_limit(bounce_copy):
    pack = [small(f"p{i}", 1 + i % 5) for i in range(1024)]
    library = PL(pack)
    for i in (0, 1, 511, 1023):  # every one reachable through the index
        assert bits(library.sample(f"p{i}", 3).as_tuple()) == bits(pack[i].sample(3).as_tuple())
    overridden = SP("bounce", "changed", BOUNCE_ROWS)
    assert refusal([overridden] + pack) == "Too many patterns"  # decided before any pattern
    assert refusal(pack + [bounce_copy]) == "Too many patterns"  # a dropped copy still counts


def test_pack_of_exactly_the_sample_limit(sixteen_full):
    library = PL(sixteen_full + [small("tail", 16)])
    assert library.sample("tail", -1).as_tuple() == (15 / 16, 0.0, 0.0)
    assert len(library.catalogue()) == len(trovelin.catalogue()) + 17


@pytest.mark.parametrize("tail_first", [False, True])
def test_one_sample_over_the_limit(sixteen_full, tail_first):
    tail = small("tail", 17)
    pack = [tail] + sixteen_full if tail_first else sixteen_full + [tail]
    # The pattern that crosses the limit fails, before a duplicate that follows it.
    assert refusal(pack + [tail]) == "Pattern pack is too large"


def test_dropped_copy_counts_toward_the_total(sixteen_full, bounce_copy):
    assert refusal(sixteen_full + [bounce_copy]) == "Pattern pack is too large"


# a: an own pattern "alpha"; A: another "alpha"; o: an override of circle; c: an exact copy of bounce.
@pytest.mark.parametrize("layout, message", [
    ("aca", "Duplicate pattern name: alpha"),
    ("aA", "Duplicate pattern name: alpha"),
    ("cc", "Duplicate pattern name: bounce"),      # absorbed copies still take part
    ("oaa", "Cannot override default pattern: circle"),
    ("aao", "Duplicate pattern name: alpha"),
])
def test_first_refusal_in_pack_order(bounce_copy, layout, message):
    kinds = {"a": small("alpha"), "A": small("alpha", 9), "o": small("circle", 64), "c": bounce_copy}
    assert refusal([kinds[k] for k in layout]) == message


def test_duplicate_reported_before_the_total(sixteen_full):
    assert refusal(sixteen_full + [SP("full_0", "", ROWS_65535)]) == "Duplicate pattern name: full_0"


def test_total_reported_before_an_override(sixteen_full):
    assert refusal(sixteen_full + [SP("bounce", "", ROWS_65535)]) == "Pattern pack is too large"


def nudged(rows, i, axis):
    row = list(rows[i])
    row[axis] = row[axis] + 2**-40 if row[axis] < 0.5 else row[axis] - 2**-40
    return rows[:i] + [tuple(row)] + rows[i + 1:]


@pytest.mark.parametrize("description, rows", [
    ("One-beat vertical bounce ", BOUNCE_ROWS), ("one-beat vertical bounce", BOUNCE_ROWS), ("", BOUNCE_ROWS),
    (BOUNCE_DESCRIPTION, BOUNCE_ROWS * 2), (BOUNCE_DESCRIPTION, BOUNCE_ROWS[:63]),
    (BOUNCE_DESCRIPTION, nudged(BOUNCE_ROWS, 0, 0)), (BOUNCE_DESCRIPTION, nudged(BOUNCE_ROWS, 63, 0)),
    (BOUNCE_DESCRIPTION, nudged(BOUNCE_ROWS, 17, 1)), (BOUNCE_DESCRIPTION, nudged(BOUNCE_ROWS, 40, 2)),
])
def test_default_cannot_be_overridden(description, rows):
    assert refusal([small("mine"), SP("bounce", description, rows)]) == "Cannot override default pattern: bounce"


@pytest.mark.parametrize("signed_zero", [False, True])
def test_exact_copy_of_bounce_is_absorbed(signed_zero):
    # Coordinates compare as numbers, so a copy spelled with -0.0 is still a copy.
    rows = [(x, -0.0, -0.0) for x, _, _ in BOUNCE_ROWS] if signed_zero else BOUNCE_ROWS
    library = PL([small("before"), SP("bounce", BOUNCE_DESCRIPTION, rows), small("after")])
    assert [d["name"] for d in library.catalogue()] == default_names() + ["before", "after"]
    for pip in (-1, 0, 5, 64, 1000):
        assert bits(library.sample("bounce", pip).as_tuple()) == bits(trovelin.sample("bounce", pip).as_tuple())


def test_exact_copy_of_a_catalogue_entry_is_absorbed():
    listing = {d["name"]: d for d in trovelin.catalogue()}
    description = listing["lfo_breathe"]["description"]
    rows = [trovelin.sample("lfo_breathe", i).as_tuple() for i in range(257)]
    assert len(PL([SP("lfo_breathe", description, rows[:256])]).catalogue()) == len(listing)
    for n in (255, 257):
        assert refusal([SP("lfo_breathe", description, rows[:n])]) == "Cannot override default pattern: lfo_breathe"


def test_sampling_own_first_then_defaults():
    mine = [SP("mine", "", [(0.5, 0.25, -0.0), (0.0, 0.0, 1.0), (-1.0, 0.0, 0.0)]), small("other", 9)]
    library = PL(mine)
    for pip, index in [(-1, 2), (3, 0), (0, 0), (-3, 0), (4, 1)]:
        assert bits(library.sample("mine", pip).as_tuple()) == bits(mine[0].sample(index).as_tuple())
    for name in default_names():
        for pip in (-65, 0, 37, 2**31 - 1):
            assert bits(library.sample(name, pip).as_tuple()) == bits(trovelin.sample(name, pip).as_tuple())
    for name in ["nope", "Mine", "mine ", "mi", ""]:
        with pytest.raises(ValueError) as info:
            library.sample(name, 0)
        assert str(info.value) == "Unknown trovelin: " + name


def test_listing_order_and_form():
    pack = [SP("zeta", "last letter", [(0.1, 0.0, 0.0)] * 3), SP("alpha", "ålpha ✓", [(0.0, 0.1, 0.0)] * 70),
            SP("mid", "", [(0.0, 0.0, 0.1)])]
    listing = PL(pack).catalogue()
    defaults = trovelin.catalogue()
    assert listing[:len(defaults)] == defaults
    assert all(type(d) is dict and list(d) == KEYS for d in listing)
    assert listing[len(defaults):] == [
        {"name": "zeta", "description": "last letter", "period_pips": 3, "dimensions": 1},
        {"name": "alpha", "description": "ålpha ✓", "period_pips": 70, "dimensions": 2},
        {"name": "mid", "description": "", "period_pips": 1, "dimensions": 3},
    ]
    assert defaults[0] == {"name": "bounce", "description": BOUNCE_DESCRIPTION, "period_pips": 64, "dimensions": 1}
    assert defaults[14]["name"] == "five_stroke_roll"
    assert PL().catalogue() == PL([]).catalogue() == PL(patterns=[]).catalogue() == defaults


@pytest.mark.parametrize("listing", [trovelin.catalogue, PL([small("own")]).catalogue])
def test_listings_are_fresh_objects(listing):
    first = listing()
    expected = [dict(d) for d in first]
    first.append(None)
    first[0]["name"] = "changed"
    second = listing()
    assert second == expected and second is not first and second[0] is not first[0]


def test_invalid_utf8_description_breaks_only_the_listing():
    library = PL([SP("raw", b"\xc3(", [(0.5, 0.0, 0.0)])])
    assert library.sample("raw", 9).as_tuple() == (0.5, 0.0, 0.0)
    with pytest.raises(UnicodeDecodeError):
        library.catalogue()
    trovelin.catalogue()


def test_patterns_are_copied_and_reusable():
    mine = [small("a", 3), small("b", 5)]
    before = [[p.sample(i).as_tuple() for i in range(6)] for p in mine]
    first = PL(mine)
    with pytest.raises(ValueError):
        PL(mine + [mine[0]])  # a failed build leaves them alone too
    second = PL(patterns=(p for p in mine))
    for p, rows in zip(mine, before):
        assert [p.sample(i).as_tuple() for i in range(6)] == rows
        for library in (first, second):
            assert [library.sample(p.name, i).as_tuple() for i in range(6)] == rows


def test_python_subclass_accepted():
    class Mine(SP):
        pass

    assert PL((Mine("sub", "", [(0.5, 0, 0)]),)).sample("sub", 0).as_tuple() == (0.5, 0.0, 0.0)


@pytest.mark.parametrize("patterns", [[1], ["bounce"], [small("a"), None], [[(0, 0, 0)]], small("a"), "ab", None])
def test_non_patterns_refused(patterns):
    with pytest.raises(TypeError):
        PL(patterns)


def test_sample_arguments():
    library = PL([small("mine")])
    assert library.sample(name="bounce", pip_count=3).as_tuple() == trovelin.bounce(3).as_tuple()
    assert library.sample(b"mine", True).as_tuple() == library.sample("mine", 1).as_tuple()
    for bad in ({"pip": 3}, {"pip_count": 1.0}, {"pip_count": 2**31}, {"pip_count": "1"}):
        with pytest.raises(TypeError):
            library.sample("mine", **bad)
