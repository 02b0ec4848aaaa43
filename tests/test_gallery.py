"""The gallery: what tools/gallery.py writes, and the page it writes, in headless Chromium."""
import base64
import importlib.util
import json
import math
import os
import shutil
import time

import numpy as np
import pytest

import trovelin
from catalogue_listing import LISTING as FULL_LISTING
from tables import table

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
_spec = importlib.util.spec_from_file_location("gallery_tool", os.path.join(ROOT, "tools", "gallery.py"))
gallery = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(gallery)

DEFAULTS = trovelin.catalogue()
RUDIMENTS = [d["name"] for d in DEFAULTS[:15]]
FULL_SIZE = 15 + len(FULL_LISTING)  # every default once the catalogue is complete
STEP = 1 / 127                       # one quantisation step of the stored rows


def family(name):
    return "rudiments" if name in RUDIMENTS else name.split("_")[0]


def read_data(folder):
    with open(os.path.join(folder, "data.js"), encoding="utf-8") as f:
        text = f.read()
    prefix = "window.TROVELIN_GALLERY = "
    assert text.startswith(prefix) and text.endswith(";\n")
    data = json.loads(text[len(prefix):-2])
    rows = np.frombuffer(base64.b64decode(data["rows"]), dtype=np.uint8)
    tables, at = {}, 0
    for name, _, period, dims, _ in data["entries"]:
        tables[name] = (rows[at:at + period * dims].reshape(period, dims).astype(float) - 127) / 127
        at += period * dims
    assert at == rows.size
    return data, tables


@pytest.fixture(scope="module")
def written(tmp_path_factory):
    folder = str(tmp_path_factory.mktemp("gallery"))
    gallery.main(["-o", folder, "-q"])
    return folder


# ---------------------------------------------------------------- the files

def test_every_default_is_listed_in_order_with_its_words_and_family(written):
    data, _ = read_data(written)
    listed = [(n, d, p, k) for n, d, p, k, _ in data["entries"]]
    assert listed == [(d["name"], d["description"], d["period_pips"], d["dimensions"]) for d in DEFAULTS]
    families = [data["families"][f] for *_, f in data["entries"]]
    assert families == [family(d["name"]) for d in DEFAULTS]
    assert sorted(os.listdir(written)) == ["data.js", "gallery.css", "gallery.js", "index.html"]


@pytest.mark.parametrize("fam", sorted({family(d["name"]) for d in DEFAULTS}))
def test_stored_rows_read_back_within_half_a_step_at_every_pip(written, fam):
    _, tables = read_data(written)
    for d in DEFAULTS:
        if family(d["name"]) == fam:
            truth = table(d["name"])
            stored = tables[d["name"]]
            assert stored.shape == (d["period_pips"], d["dimensions"]), d["name"]
            assert np.abs(stored - truth[:, :d["dimensions"]]).max() <= STEP / 2 + 1e-12, d["name"]
            assert not truth[:, d["dimensions"]:].any(), d["name"]  # nothing dropped but zeros


def test_writing_is_reproducible_and_prints_progress(tmp_path):
    motions = gallery.motions_of(trovelin.PatternLibrary(), len(DEFAULTS))[:40]
    lines = []
    first = gallery.write_gallery(str(tmp_path / "a"), motions, progress=lines.append)
    gallery.write_gallery(str(tmp_path / "b"), motions, progress=lambda _: None)
    for name in first:
        assert (tmp_path / "a" / name).read_bytes() == (tmp_path / "b" / name).read_bytes(), name
    assert lines[0] == "sampling 40 motions"
    assert any(line.split()[0] == "rudiments" and "(15/40)" in line for line in lines[1:-1])
    assert lines[-1].startswith("wrote ") and "40 motions" in lines[-1]


PACK = '''
import trovelin
ramp = [(i / 48 - 1, 0.0, 0.0) for i in range(96)]
corkscrew = [(0.5, 0.25, (i % 64) / 64 - 0.5) for i in range(128)]
copy = [trovelin.sample("circle", i).as_tuple() for i in range(64)]
PATTERNS = [trovelin.SampledPattern("my_ramp", "A ramp of mine", ramp),
            trovelin.SampledPattern("circle", "One-beat circular orbit", copy),
            trovelin.SampledPattern("my_corkscrew", "Depth saw", corkscrew)]
'''


def test_own_patterns_follow_the_defaults_and_an_exact_copy_is_absorbed(tmp_path):
    pack = tmp_path / "pack.py"
    pack.write_text(PACK)
    gallery.main(["-o", str(tmp_path / "out"), "--file", str(pack), "-q"])
    data, tables = read_data(str(tmp_path / "out"))
    own = data["entries"][len(DEFAULTS):]
    assert [(n, p, k, data["families"][f]) for n, _, p, k, f in own] == [
        ("my_ramp", 96, 1, "yours"), ("my_corkscrew", 128, 3, "yours")]
    assert len(data["entries"]) == len(DEFAULTS) + 2
    assert tables["my_ramp"][48, 0] == 0 and tables["my_ramp"][0, 0] == -1
    assert tables["my_corkscrew"][32, 2] == 0 and tables["my_corkscrew"][0, 2] == -64 / 127


def test_a_pattern_that_would_change_a_default_is_refused(tmp_path):
    pack = tmp_path / "bad.py"
    pack.write_text("import trovelin\n"
                    "PATTERNS = [trovelin.SampledPattern('circle', 'One-beat circular orbit', [(0, 0, 0)] * 64)]\n")
    with pytest.raises(SystemExit) as refusal:
        gallery.main(["-o", str(tmp_path / "out"), "--file", str(pack), "-q"])
    assert str(refusal.value) == f"{pack}: Cannot override default pattern: circle"
    assert not (tmp_path / "out").exists()


def full_size_motions():
    """Every default the listing will hold: the real ones present now, stand-ins of the
    listed length, dimensions and words for those still to come."""
    motions = gallery.motions_of(trovelin.PatternLibrary(), len(DEFAULTS))
    present = {m.name for m in motions}
    rudiments = set(RUDIMENTS)
    for k, (name, period, dims, description) in enumerate(FULL_LISTING):
        if name not in present:
            def sample(pip, k=k, period=period, dims=dims):
                a = 2 * math.pi * pip / period
                row = (math.sin(a + k), math.sin(2 * a + k) * 0.8, math.cos(3 * a + k) * 0.6)
                return tuple(v if i < dims else 0.0 for i, v in enumerate(row))
            motions.append(gallery.Motion(name, description, period, dims, gallery.family_of(name, rudiments), sample))
    assert len(motions) == FULL_SIZE
    return motions


@pytest.fixture(scope="module")
def full_size(tmp_path_factory, written):
    if len(DEFAULTS) >= FULL_SIZE:
        return written, {n: os.path.getsize(os.path.join(written, n)) for n in os.listdir(written)}
    folder = str(tmp_path_factory.mktemp("gallery_full"))
    return folder, gallery.write_gallery(folder, full_size_motions(), progress=lambda _: None)


def test_the_gallery_of_every_default_stays_a_few_megabytes(full_size):
    _, sizes = full_size
    assert sizes["data.js"] < 4.5e6 and sum(sizes.values()) < 4.6e6, sizes


# ---------------------------------------------------------------- the page

def missing_browser():
    try:
        import selenium  # noqa: F401
    except ImportError:
        return "selenium is not installed (pip install '.[test]')"
    if not (shutil.which("chromium") and shutil.which("chromedriver")):
        return ("headless Chromium is not installed: tools/run-tests installs Debian's chromium and "
                "chromium-driver where apt-get can; this machine has neither")
    return None


@pytest.fixture(scope="module")
def browser():
    reason = missing_browser()
    if reason:
        pytest.skip(reason)
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                "--window-size=1280,900"):
        options.add_argument(arg)
    options.binary_location = shutil.which("chromium")
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.set_script_timeout(300)  # a hang guard, generous for a loaded machine
    yield driver
    driver.quit()


class Page:
    def __init__(self, driver, folder, fragment=""):
        self.driver = driver
        driver.get("about:blank")  # a fresh page, even when only the #fragment differs
        driver.get_log("browser")  # drop what earlier pages logged
        driver.get("file://" + os.path.join(folder, "index.html") + fragment)
        self.js("return window.trovelinGallery.entries()")
        self.frame()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def frame(self):
        """Wait until the page has drawn two more frames."""
        self.driver.execute_async_script(
            "const done = arguments[0]; requestAnimationFrame(() => requestAnimationFrame(() => done()));")

    def type_into(self, element_id, text):
        from selenium.webdriver.common.keys import Keys
        field = self.driver.find_element("id", element_id)
        field.send_keys(Keys.CONTROL, "a")
        field.send_keys(Keys.DELETE)
        field.send_keys(text)

    def choose(self, element_id, value):
        from selenium.webdriver.support.ui import Select
        Select(self.driver.find_element("id", element_id)).select_by_value(value)

    def shown(self):
        return self.js("return [...document.querySelectorAll('.card:not([hidden])')].map(c => c.dataset.name)")

    def count_text(self):
        return self.driver.find_element("id", "count").text

    def errors(self):
        logged = [e["message"] for e in self.driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        return logged + self.js("return window.trovelinGallery.errors")


@pytest.fixture
def page(browser, written):
    page = Page(browser, written)
    yield page
    assert page.errors() == []


def test_one_card_per_default(page):
    assert page.shown() == [d["name"] for d in DEFAULTS]
    assert page.count_text() == f"{len(DEFAULTS)} of {len(DEFAULTS)} motions"


WORDS = {d["name"]: (d["name"] + " " + d["name"].replace("_", " ") + " " + d["description"]).lower()
         for d in DEFAULTS}


@pytest.mark.parametrize("query, expected", [
    ("lfo_breathe", ["lfo_breathe"]),
    ("figure eight", None),
    ("Vessa", ["vessa_background"]),
    ("peak-aligned  hit", None),
    ("no such motion here", []),
])
def test_search_narrows_to_the_cards_whose_name_or_description_hold_every_word(page, query, expected):
    page.type_into("search", query)
    if expected is None:
        expected = [n for n, words in WORDS.items() if all(w in words for w in query.lower().split())]
        assert 0 < len(expected) < len(DEFAULTS)
    assert page.shown() == expected
    assert page.count_text() == f"{len(expected)} of {len(DEFAULTS)} motions"
    assert page.driver.find_element("id", "empty").is_displayed() == (not expected)


@pytest.mark.parametrize("fam, dims", [("rudiments", ""), ("lfo", ""), ("mech", ""), ("", "1"), ("", "2"),
                                       ("", "3"), ("rudiments", "2"), ("lfo", "3")])
def test_family_and_dimension_filters(page, fam, dims):
    page.choose("family", fam)
    page.choose("dims", dims)
    expected = [d["name"] for d in DEFAULTS
                if (not fam or family(d["name"]) == fam) and (not dims or d["dimensions"] == int(dims))]
    assert page.shown() == expected
    if fam and dims:
        page.choose("dims", "")
        assert len(page.shown()) > len(expected)


def check_point(page, name, pip, drawn):
    truth = trovelin.sample(name, pip).as_tuple()
    assert drawn["pip"] == pip % len(table(name))
    assert max(abs(drawn[a] - truth[i]) for i, a in enumerate("xyz")) <= STEP / 2 + 1e-9


@pytest.mark.parametrize("bpm", [60, 120, 175])
def test_the_bpm_field_sets_where_every_card_is_after_a_fixed_time(page, bpm):
    if bpm != 120:
        page.type_into("bpm", str(bpm))
    assert page.js("return window.trovelinGallery.bpm()") == bpm
    page.js("window.trovelinGallery.holdAt(0.75)")
    page.frame()
    pip = math.floor(0.75 * bpm / 60 * 64)
    for name in ("figure_eight", "box_step", "helix"):
        check_point(page, name, pip, page.js("return window.trovelinGallery.drawn(arguments[0])", name))


@pytest.mark.parametrize("bpm", [90, 240])
def test_the_running_clock_moves_at_the_pace_the_field_sets(page, bpm):
    page.type_into("bpm", str(bpm))
    # The page's clock reads performance.now(); a stand-in clock moved by hand
    # measures its pace without depending on how fast this machine runs.
    moved = page.js("""const real = performance.now.bind(performance);
        let now = real();
        performance.now = () => now;
        const before = window.trovelinGallery.beats();
        now += 600;
        const after = window.trovelinGallery.beats();
        performance.now = real;
        return after - before;""")
    assert moved == pytest.approx(0.6 * bpm / 60, rel=1e-9)
    first = page.js("return window.trovelinGallery.drawn('box_step').pip")
    page.frame()
    assert page.js("return window.trovelinGallery.drawn('box_step').pip") != first


def test_a_card_opens_to_its_axes_against_beats_and_closes(page):
    from selenium.webdriver.common.keys import Keys
    page.driver.find_element("css selector", '.card[data-name="helix"]').click()
    page.js("window.trovelinGallery.holdAt(1.5)")
    page.frame()
    dialog = page.driver.find_element("id", "view")
    assert dialog.is_displayed()
    assert page.driver.find_element("id", "view-name").text == "helix"
    assert page.driver.find_element("id", "view-meta").text.startswith("256 pips · 4 beats · 3-D")
    check_point(page, "helix", 192, page.js("return window.trovelinGallery.drawn('helix')"))
    assert page.driver.find_element("id", "view-readout").text.startswith("pip 192 of 256 · beat 4.00")
    # each lane of the axes holds a curve in its own colour
    painted = page.js("""
        const c = document.getElementById('view-axes'), g = c.getContext('2d');
        const d = g.getImageData(0, 0, c.width, c.height).data, lanes = [0, 0, 0];
        const colours = [[47, 109, 181], [217, 130, 43], [58, 154, 79]];
        for (let i = 0; i < d.length; i += 4)
          colours.forEach((k, a) => { if (d[i] === k[0] && d[i + 1] === k[1] && d[i + 2] === k[2]) lanes[a]++; });
        return lanes;""")
    assert min(painted) > 200, painted
    assert page.js("return location.hash") == "#helix"
    dialog.send_keys(Keys.ESCAPE)
    page.frame()
    assert not dialog.is_displayed()
    assert page.js("return window.trovelinGallery.drawn('helix')")["pip"] == 192


def test_a_link_to_a_motion_opens_it(browser, written):
    page = Page(browser, written, "#mech_escapement")
    assert page.driver.find_element("id", "view-name").text == "mech_escapement"
    assert "unused" not in page.js("return document.getElementById('view').innerText")
    assert page.errors() == []


# How fast it starts and draws is for bench/bench_gallery.py to print.
def test_the_full_size_page_draws_only_what_is_on_screen(browser, full_size):
    page = Page(browser, full_size[0])
    assert page.js("return document.querySelectorAll('.card').length") == FULL_SIZE
    cards = page.js("""return [...document.querySelectorAll('.card')].slice(0, 40).map(c => {
        const r = c.getBoundingClientRect(); return [r.left, r.top, r.height]; });""")
    columns = len({left for left, _, _ in cards})
    assert columns >= 6 and max(h for *_, h in cards) <= 230, cards  # compact at 1280 px wide
    for scroll in (0, 0.5, 1.0):
        page.js("window.scrollTo(0, arguments[0] * (document.body.scrollHeight - innerHeight))", scroll)
        time.sleep(0.3)
        page.frame()
        near = page.js("""return [...document.querySelectorAll('.card')].filter(c => {
            const r = c.getBoundingClientRect(); return r.bottom > -120 && r.top < innerHeight + 120; }).length""")
        drawn = page.js("return window.trovelinGallery.stats.cardsLastFrame")
        assert 0 < drawn <= near < 80, (scroll, drawn, near)
    last = FULL_LISTING[-1][0]
    assert last in page.js("return window.trovelinGallery.visibleCards()")
    assert page.js("return window.trovelinGallery.drawn(arguments[0])", last)["pip"] >= 0
    frames = page.js("return window.trovelinGallery.stats.frames")
    page.frame()
    assert page.js("return window.trovelinGallery.stats.frames") > frames  # the loop keeps going
    assert page.errors() == []
