"""The gallery's page in headless Chromium: how long it takes to start and how
often it draws.

  python bench/bench_gallery.py

Measures the character of every default against reading their rows alone,
writes the gallery of every default to a temporary folder, opens it, and
prints its start-up time (from its script starting to its first frame being
scheduled, as the page itself measures it) and its frame rate with a full
screen of animated cards, each against a baseline from the same browser in the
same run: start-up against a page that only decodes the same data file, and
the frame rate against a blank page counting animation frames. Needs selenium
and Debian's chromium and chromium-driver, as the gallery's tests do.
"""
import os
import shutil
import sys
import tempfile
import time

from trovelin_show import character, gallery
from trovelin_show.cli import main as trovelin_command

DECODE_ONLY = """<!doctype html><meta charset="utf-8"><script>const started = performance.now();</script>
<script src="data.js"></script>
<script>
  const bytes = atob(window.TROVELIN_GALLERY.rows);
  const rows = new Uint8Array(bytes.length);
  for (let i = 0; i < bytes.length; i++) rows[i] = bytes.charCodeAt(i);
  window.baseline = { loadMs: performance.now() - started, frames: 0 };
  (function count() { window.baseline.frames++; requestAnimationFrame(count); })();
</script>"""


def browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                "--window-size=1280,900"):
        options.add_argument(arg)
    options.binary_location = shutil.which("chromium")
    return webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)


def frames_per_second(driver, counter, seconds=2.0):
    before, t0 = driver.execute_script(f"return {counter}"), time.perf_counter()
    time.sleep(seconds)
    after, t1 = driver.execute_script(f"return {counter}"), time.perf_counter()
    return (after - before) / (t1 - t0)


def measuring():
    """Reading every default's rows, and reading them and measuring their character, as seconds."""
    import trovelin
    listing = trovelin.catalogue()
    started = time.perf_counter()
    for d in listing:
        character.rows_of(d["name"], d["period_pips"])
    read = time.perf_counter() - started
    started = time.perf_counter()
    character.characters()
    return read, time.perf_counter() - started


def main():
    read, measured = measuring()
    print(f"character of every default: {measured:.2f} s, reading their rows alone "
          f"{read:.2f} s ({measured / read:.2f}x)")
    if not (shutil.which("chromium") and shutil.which("chromedriver")):
        sys.exit("needs Debian's chromium and chromium-driver (tools/run-tests installs them)")
    folder = tempfile.mkdtemp(prefix="trovelin-gallery-bench-")
    try:
        trovelin_command(["gallery", "-o", folder, "-q"])
        with open(os.path.join(folder, "baseline.html"), "w", encoding="utf-8") as f:
            f.write(DECODE_ONLY)
        driver = browser()
        try:
            loads, base_loads, fps, base_fps = [], [], [], []
            for _ in range(3):  # interleaved, so load on the machine falls on both alike
                driver.get("file://" + os.path.join(folder, "baseline.html"))
                driver.execute_script("return window.baseline.loadMs")
                base_loads.append(driver.execute_script("return window.baseline.loadMs"))
                base_fps.append(frames_per_second(driver, "window.baseline.frames"))
                driver.get("file://" + os.path.join(folder, "index.html") + "#view=all")  # every card in one grid
                loads.append(driver.execute_script("return window.trovelinGallery.loadMs"))
                fps.append(frames_per_second(driver, "window.trovelinGallery.stats.frames"))
        finally:
            driver.quit()
        load, base_load = min(loads), min(base_loads)
        rate, base_rate = max(fps), max(base_fps)
        print(f"start-up: gallery {load:.0f} ms, decoding its data alone {base_load:.0f} ms "
              f"({load / base_load:.2f}x)")
        print(f"frame rate with a screen of cards: gallery {rate:.1f}/s, blank page {base_rate:.1f}/s "
              f"({rate / base_rate:.2f}x)")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
