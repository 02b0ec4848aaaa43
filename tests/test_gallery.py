"""The gallery: what `trovelin gallery` writes, and the page it writes, in headless Chromium."""
import base64
import json
import math
import os
import re
import shutil
import time

import numpy as np
import pytest

import trovelin
from tables import table
from trovelin_show import gallery
from trovelin_show.cli import main
from trovelin_show.families import FAMILIES

DEFAULTS = trovelin.catalogue()
NAMES = [d["name"] for d in DEFAULTS]
RUDIMENTS = NAMES[:15]
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
    for name, _, period, dims, *_ in data["entries"]:
        tables[name] = (rows[at:at + period * dims].reshape(period, dims).astype(float) - 127) / 127
        at += period * dims
    assert at == rows.size
    return data, tables


@pytest.fixture(scope="module")
def written(tmp_path_factory):
    folder = str(tmp_path_factory.mktemp("gallery"))
    assert main(["gallery", "-o", folder, "-q"]) == 0
    return folder


@pytest.fixture(scope="module")
def data(written):
    return read_data(written)


# ---------------------------------------------------------------- the files

def test_every_default_is_listed_in_order_with_its_words_family_figures_and_character(data, written):
    data, _ = data
    listed = [(n, d, p, k) for n, d, p, k, *_ in data["entries"]]
    assert listed == [(d["name"], d["description"], d["period_pips"], d["dimensions"]) for d in DEFAULTS]
    families = [data["families"][e[4]][0] for e in data["entries"]]
    assert families == [family(n) for n in NAMES]
    assert all(sentence and sentence == FAMILIES[f] for f, sentence in data["families"])
    keys = [key for key, _ in data["figures"]]
    for name, _, period, dims, _, figures, words in data["entries"]:
        assert len(figures) == len(keys) + 1 and figures[keys.index("loop_beats")] == period / 64, name
        assert words and all(w in dict(data["words"]) and 0 < s <= 1 for w, s in words), name
    assert sorted(os.listdir(written)) == ["data.js", "gallery.css", "gallery.js", "index.html"]


@pytest.mark.parametrize("fam", sorted({family(n) for n in NAMES}))
def test_stored_rows_read_back_within_half_a_step_at_every_pip(data, fam):
    _, tables = data
    for d in DEFAULTS:
        if family(d["name"]) == fam:
            truth = table(d["name"])
            stored = tables[d["name"]]
            assert stored.shape == (d["period_pips"], d["dimensions"]), d["name"]
            assert np.abs(stored - truth[:, :d["dimensions"]]).max() <= STEP / 2 + 1e-12, d["name"]
            assert not truth[:, d["dimensions"]:].any(), d["name"]  # nothing dropped but zeros


class FirstForty:
    """A library that lists the first 40 defaults alone, so that only their characters are measured."""

    catalogue = staticmethod(lambda: DEFAULTS[:40])
    sample = staticmethod(trovelin.sample)


def test_writing_is_reproducible_and_prints_progress(tmp_path):
    motions = gallery.motions_of(FirstForty())
    assert [m.name for m in motions] == NAMES[:40]
    lines = []
    first = gallery.write_gallery(str(tmp_path / "a"), motions, progress=lines.append)
    gallery.write_gallery(str(tmp_path / "b"), motions)
    for name in first:
        assert (tmp_path / "a" / name).read_bytes() == (tmp_path / "b" / name).read_bytes(), name
    assert lines[0] == "storing 40 motions"
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
    assert main(["gallery", "-o", str(tmp_path / "out"), "--file", str(pack), "-q"]) == 0
    data, tables = read_data(str(tmp_path / "out"))
    own = data["entries"][len(DEFAULTS):]
    assert [(n, p, k, data["families"][f][0]) for n, _, p, k, f, *_ in own] == [
        ("my_ramp", 96, 1, "yours"), ("my_corkscrew", 128, 3, "yours")]
    assert len(data["entries"]) == len(DEFAULTS) + 2
    assert tables["my_ramp"][48, 0] == 0 and tables["my_ramp"][0, 0] == -1
    assert tables["my_corkscrew"][32, 2] == 0 and tables["my_corkscrew"][0, 2] == -64 / 127
    ramp_words = dict(own[0][6])
    assert "1-D" in ramp_words and "hit" in ramp_words  # it jumps back at its seam


@pytest.mark.parametrize("text, message", [
    ("import trovelin\nPATTERNS = [trovelin.SampledPattern('circle', 'One-beat circular orbit', [(0, 0, 0)] * 64)]\n",
     "{pack}: Cannot override default pattern: circle"),
    ("X = 1\n", "{pack}: defines no PATTERNS"),
])
def test_a_pack_that_cannot_be_shown_is_refused_with_a_message(tmp_path, capsys, text, message):
    pack = tmp_path / "bad.py"
    pack.write_text(text)
    assert main(["gallery", "-o", str(tmp_path / "out"), "--file", str(pack), "-q"]) == 2
    assert capsys.readouterr().err.strip() == "trovelin gallery: " + message.format(pack=pack)
    assert not (tmp_path / "out").exists()


def test_the_gallery_of_every_default_stays_a_few_megabytes(written):
    sizes = {n: os.path.getsize(os.path.join(written, n)) for n in os.listdir(written)}
    assert sizes["data.js"] < 4.8e6 and sum(sizes.values()) < 4.9e6, sizes


def test_the_page_files_are_part_of_the_package():
    assert all(gallery.asset(name) for name in gallery.ASSETS)


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

    def value(self, element_id):
        return self.driver.find_element("id", element_id).get_attribute("value")

    def results(self):
        return self.js("return window.trovelinGallery.results()")

    def shown(self):
        """The cards on the page that are not hidden, in the page's order."""
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


def test_the_overview_groups_the_cards_by_family_folded(page):
    assert page.results() == NAMES
    assert page.count_text() == f"{len(NAMES)} of {len(NAMES)} motions"
    groups = page.js("""return [...document.querySelectorAll('details.family')].map(d =>
        [d.dataset.family, d.open, d.querySelectorAll('.card').length, d.querySelector('.sentence').textContent])""")
    assert [g[0] for g in groups] == list(dict.fromkeys(family(n) for n in NAMES))
    assert all(not opened and sentence == FAMILIES[f] for f, opened, _, sentence in groups)
    assert sum(g[2] for g in groups) == len(NAMES)
    assert page.js("return window.trovelinGallery.visibleCards()") == []   # folded: nothing drawn
    page.driver.find_element("css selector", 'details[data-family="mech"] > summary').click()
    page.frame()
    time.sleep(0.2)
    page.frame()
    drawn = page.js("return window.trovelinGallery.visibleCards()")
    assert drawn and all(n.startswith("mech_") for n in drawn)


@pytest.mark.parametrize("query, first", [
    ("lfo_breathe", ["lfo_breathe"]),
    ("Vessa", ["vessa_background"]),
    ("figure eight", ["figure_eight"]),
    ("mech escapement", ["mech_escapement"]),
])
def test_search_ranks_the_motion_named_first(page, query, first):
    page.type_into("search", query)
    assert page.results()[:len(first)] == first
    assert 0 < len(page.results()) < len(NAMES)
    assert page.shown() == page.results()       # the flat grid, in the order of the results


def test_a_search_nothing_answers_shows_nothing_and_says_why(page):
    page.type_into("search", "zyxxy quorble")
    assert page.results() == [] and page.driver.find_element("id", "empty").is_displayed()
    assert "zyxxy quorble" in page.driver.find_element("id", "note").text


def test_search_words_that_answer_nothing_are_left_out(page):
    page.type_into("search", "slow sweep")
    plain = page.results()
    page.type_into("search", "a slow sweep for the verse")
    assert page.results()[:10] == plain[:10] or set(page.results()) >= set(plain[:10])


@pytest.mark.parametrize("fam, dims, loop, word", [
    ("rudiments", "", "", ""), ("lfo", "", "", ""), ("", "1", "", ""), ("", "3", "", ""),
    ("rudiments", "2", "", ""), ("", "", "1", ""), ("", "", "8", ""), ("", "", "", "circle"),
    ("", "", "", "slow"), ("beat", "", "", "punchy"),
])
def test_family_dimension_loop_and_character_filters(page, fam, dims, loop, word):
    for element, value in (("family", fam), ("dims", dims), ("loop", loop), ("word", word)):
        page.choose(element, value)
    bands = {"1": (0, 1), "2": (1, 2), "4": (2, 4), "8": (4, 8), "16": (8, 16)}
    words = page.js("return Object.fromEntries(window.trovelinGallery.results().map(n => "
                    "[n, window.trovelinGallery.wordsOf(n)]))")
    expected = [d["name"] for d in DEFAULTS
                if (not fam or family(d["name"]) == fam) and (not dims or d["dimensions"] == int(dims))
                and (not loop or bands[loop][0] < d["period_pips"] / 64 <= bands[loop][1])]
    got = page.results()
    assert 0 < len(got) < len(NAMES)
    if word:
        assert all(word in words[n] for n in got)
        assert set(got) < set(expected)
    else:
        assert got == expected


@pytest.mark.parametrize("key, way", [("speed", "up"), ("punch", "down"), ("loop_beats", "down")])
def test_sort_by_a_figure(page, key, way, data):
    data, _ = data
    index = [k for k, _ in data["figures"]].index(key)
    figure = {e[0]: e[5][index] for e in data["entries"]}
    page.choose("sort", f"{key}-{way}")
    got = page.results()
    assert len(got) == len(NAMES)
    values = [figure[n] for n in got]
    assert values == sorted(values, reverse=(way == "down"))
    assert page.shown()[:20] == got[:20]


def test_the_address_keeps_the_search_and_filters_and_restores_them(browser, written):
    page = Page(browser, written)
    page.type_into("search", "slow sweep")
    page.choose("dims", "1")
    page.choose("sort", "speed-up")
    results = page.results()
    address = page.js("return location.hash")
    assert "q=slow%20sweep" in address and "dims=1" in address and "sort=speed-up" in address
    again = Page(browser, written, address)
    assert (again.value("search"), again.value("dims"), again.value("sort")) == ("slow sweep", "1", "speed-up")
    assert again.results() == results
    assert again.errors() == []


def test_similar_motions_open_from_an_open_card(browser, written):
    page = Page(browser, written, "#q=circle")
    page.driver.find_element("css selector", '.card[data-name="circle"]').click()
    page.frame()
    similar = page.js("return [...document.querySelectorAll('#view-similar button')].map(b => b.dataset.name)")
    assert len(similar) == 8 and "circle" not in similar
    assert similar == page.js("return window.trovelinGallery.similar('circle')")
    page.driver.find_element("css selector", f'#view-similar button[data-name="{similar[0]}"]').click()
    page.frame()
    assert page.driver.find_element("id", "view-name").text == similar[0]
    assert f"open={similar[0]}" in page.js("return location.hash") and "q=circle" in page.js("return location.hash")
    assert page.errors() == []


# what a motion's likes should be: round loops for a circle, alternating quick hits
# for a stroke roll, slow single-axis waves for a wave
@pytest.mark.parametrize("name, alike", [
    ("circle", r"orbit|circle|helix|crank"),
    ("single_stroke_roll", r"bounce|step|stroke|roll|paradiddle|stick"),
    ("wave_pinched", r"^wave_|^lfo_|^ease_|^akwf_"),
])
def test_similar_motions_share_shape_and_character(page, name, alike):
    similar = page.js("return window.trovelinGallery.similar(arguments[0], 8)", name)
    assert len(similar) == 8 and name not in similar
    assert sum(bool(re.search(alike, n)) for n in similar) >= 5, similar


# The words people use, each a search that finds motions carrying the word (or a word
# it stands for) at the top; the sheets of these results were looked at when choosing
# the rules of the words.
SEARCHED = {"sweep": {"sweep", "sweeping"}, "swing": {"swing", "pendulum"}, "bounce": {"bounce"},
            "circle": {"circle"}, "orbit": {"orbit"}, "figure eight": {"figure eight", "figure8", "figure-eight"},
            "wave": {"wave"}, "punch": {"punch", "punchy"}, "hit": {"hit", "hits"}, "shake": {"shake"},
            "slow": {"slow"}, "fast": {"fast"}}


@pytest.mark.parametrize("query", sorted(SEARCHED), ids=lambda q: "search " + q)  # an id "slow" would mark it slow
def test_the_words_people_use_find_motions_that_carry_them(page, query):
    page.type_into("search", query)
    top = page.results()[:8]
    assert len(top) == 8
    for name in top:
        words = set(page.js("return window.trovelinGallery.wordsOf(arguments[0])", name))
        said = name.replace("_", " ")
        assert words & SEARCHED[query] or any(w.replace("-", " ") in said for w in SEARCHED[query]), (name, words)


def check_point(page, name, pip, drawn):
    truth = trovelin.sample(name, pip).as_tuple()
    assert drawn["pip"] == pip % len(table(name))
    assert max(abs(drawn[a] - truth[i]) for i, a in enumerate("xyz")) <= STEP / 2 + 1e-9


@pytest.mark.parametrize("bpm", [60, 120, 175])
def test_the_bpm_field_sets_where_every_card_is_after_a_fixed_time(browser, written, bpm):
    page = Page(browser, written, "#family=rudiments")
    if bpm != 120:
        page.type_into("bpm", str(bpm))
    assert page.js("return window.trovelinGallery.bpm()") == bpm
    page.js("window.trovelinGallery.holdAt(0.75)")
    page.frame()
    pip = math.floor(0.75 * bpm / 60 * 64)
    for name in ("figure_eight", "box_step", "helix"):
        check_point(page, name, pip, page.js("return window.trovelinGallery.drawn(arguments[0])", name))


@pytest.mark.parametrize("bpm", [90, 240])
def test_the_running_clock_moves_at_the_pace_the_field_sets(browser, written, bpm):
    page = Page(browser, written, "#family=rudiments")
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


def test_a_card_opens_to_its_axes_figures_and_words_and_closes(browser, written):
    from selenium.webdriver.common.keys import Keys
    page = Page(browser, written, "#family=rudiments")
    page.driver.find_element("css selector", '.card[data-name="helix"]').click()
    page.js("window.trovelinGallery.holdAt(1.5)")
    page.frame()
    dialog = page.driver.find_element("id", "view")
    assert dialog.is_displayed()
    assert page.driver.find_element("id", "view-name").text == "helix"
    assert page.driver.find_element("id", "view-meta").text.startswith("256 pips · 4 beats · 3-D")
    assert page.driver.find_element("id", "view-family").text == FAMILIES["rudiments"]
    figures = page.driver.find_element("id", "view-figures").text
    assert "loop (beats) 4 beats" in figures and "moving axes xyz" in figures
    assert "orbit" in page.driver.find_element("id", "view-words").text
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
    assert page.js("return location.hash") == "#family=rudiments&open=helix"
    dialog.send_keys(Keys.ESCAPE)
    page.frame()
    assert not dialog.is_displayed()
    assert page.js("return location.hash") == "#family=rudiments"
    assert page.js("return window.trovelinGallery.drawn('helix')")["pip"] == 192
    assert page.errors() == []


def test_a_link_to_a_motion_opens_it(browser, written):
    page = Page(browser, written, "#mech_escapement")
    assert page.driver.find_element("id", "view-name").text == "mech_escapement"
    assert "unused" not in page.js("return document.getElementById('view').innerText")
    assert page.errors() == []


# How fast it starts and draws is for bench/bench_gallery.py to print.
def test_every_card_in_one_grid_draws_only_what_is_on_screen(browser, written):
    page = Page(browser, written, "#view=all")
    assert page.js("return document.querySelectorAll('#grid .card').length") == len(NAMES)
    cards = page.js("""return [...document.querySelectorAll('.card')].slice(0, 40).map(c => {
        const r = c.getBoundingClientRect(); return [r.left, r.top, r.height]; });""")
    columns = len({left for left, _, _ in cards})
    assert columns >= 6 and max(h for *_, h in cards) <= 250, cards  # compact at 1280 px wide
    for scroll in (0, 0.5, 1.0):
        page.js("window.scrollTo(0, arguments[0] * (document.body.scrollHeight - innerHeight))", scroll)
        time.sleep(0.3)
        page.frame()
        near = page.js("""return [...document.querySelectorAll('.card')].filter(c => {
            const r = c.getBoundingClientRect(); return r.bottom > -120 && r.top < innerHeight + 120; }).length""")
        drawn = page.js("return window.trovelinGallery.stats.cardsLastFrame")
        assert 0 < drawn <= near < 80, (scroll, drawn, near)
    last = NAMES[-1]
    assert last in page.js("return window.trovelinGallery.visibleCards()")
    assert page.js("return window.trovelinGallery.drawn(arguments[0])", last)["pip"] >= 0
    frames = page.js("return window.trovelinGallery.stats.frames")
    page.frame()
    assert page.js("return window.trovelinGallery.stats.frames") > frames  # the loop keeps going
    assert page.errors() == []
