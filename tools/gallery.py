#!/usr/bin/env python3
"""Write a static gallery of every built-in motion, to choose among them by looking.

The gallery is one folder: index.html, its script and style, and the sampled
motions in data.js. Open index.html in a browser straight from the disk: it needs
no server and no network. Every motion is a card with its name, description, loop
length in beats, dimensions and an animated preview at the page's tempo; all cards
run on one clock. Search, filter by family and dimensions, and open a card to see
its three axes against beats.

Usage:
  python tools/gallery.py -o gallery/
  python tools/gallery.py --file my_patterns.py -o gallery/   # PATTERNS = [SampledPattern, ...]

Each loop is stored at every pip, one byte per declared axis (steps of 1/127),
so the gallery of all 1731 defaults stays near 4 MB. The module must be importable.
"""
import argparse
import base64
import json
import os
import runpy
import sys
import time

import trovelin

OWN_FAMILY = "yours"
RUDIMENT_FAMILY = "rudiments"
SCALE = 127  # a coordinate v is stored as the byte round(v * 127) + 127


class Motion:
    """One card: a name, its words, its loop and how to read its rows."""

    def __init__(self, name, description, period, dimensions, family, sample):
        self.name, self.description = name, description
        self.period, self.dimensions, self.family = period, dimensions, family
        self.sample = sample  # pip -> (x, y, z)


def family_of(name, rudiments):
    """The family a default belongs to: the rudiments, or the prefix of a catalogue name."""
    return RUDIMENT_FAMILY if name in rudiments else name.split("_", 1)[0]


def motions_of(library, defaults):
    """Every motion the library lists, defaults first; `defaults` is how many of them are defaults."""
    listing = library.catalogue()
    rudiments = {d["name"] for d in listing[:defaults] if callable(getattr(trovelin, d["name"], None))}
    result = []
    for index, d in enumerate(listing):
        family = family_of(d["name"], rudiments) if index < defaults else OWN_FAMILY
        result.append(Motion(d["name"], d["description"], d["period_pips"], d["dimensions"], family,
                             lambda pip, name=d["name"]: library.sample(name, pip).as_tuple()))
    return result


def load_library(path=None):
    """The library the gallery shows: the defaults, and the PATTERNS of `path` beside them."""
    patterns = runpy.run_path(path)["PATTERNS"] if path else []
    try:
        return trovelin.PatternLibrary(list(patterns))
    except ValueError as refusal:
        sys.exit(f"{path}: {refusal}")


def quantise(motion):
    """The motion's declared axes at every pip of its loop, one byte per value, pip after pip."""
    out = bytearray(motion.period * motion.dimensions)
    i = 0
    for pip in range(motion.period):
        row = motion.sample(pip)
        for axis in range(motion.dimensions):
            out[i] = round(row[axis] * SCALE) + SCALE
            i += 1
    return out


def data_script(motions, progress):
    families = list(dict.fromkeys(m.family for m in motions))
    entries, rows = [], bytearray()
    run = 0  # motions of the family being sampled, in a row
    for done, m in enumerate(motions, 1):
        rows += quantise(m)
        entries.append([m.name, m.description, m.period, m.dimensions, families.index(m.family)])
        run += 1
        if done == len(motions) or motions[done].family != m.family:
            progress(f"  {m.family:<12} {run:5d} motions  ({done}/{len(motions)})")
            run = 0
    data = {
        "pipsPerBeat": trovelin.PIPS_PER_BEAT,
        "scale": SCALE,
        "families": families,
        "ownFamily": OWN_FAMILY,
        "entries": entries,
        "rows": base64.b64encode(bytes(rows)).decode("ascii"),
    }
    return "window.TROVELIN_GALLERY = " + json.dumps(data, separators=(",", ":")) + ";\n"


def write_gallery(out_dir, motions, progress=print):
    """Write index.html, gallery.css, gallery.js and data.js into out_dir; returns {file: bytes}."""
    started = time.perf_counter()
    os.makedirs(out_dir, exist_ok=True)
    progress(f"sampling {len(motions)} motions")
    files = {"data.js": data_script(motions, progress), "index.html": PAGE, "gallery.css": STYLE,
             "gallery.js": SCRIPT}
    sizes = {}
    for name, text in files.items():
        path = os.path.join(out_dir, name)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        sizes[name] = os.path.getsize(path)
    total = sum(sizes.values())
    progress(f"wrote {os.path.join(out_dir, 'index.html')}: {len(motions)} motions, "
             f"{total / 1e6:.2f} MB in {len(files)} files, {time.perf_counter() - started:.1f} s")
    return sizes


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("-o", "--output", default="gallery", help="folder to write (default: gallery)")
    parser.add_argument("--file", help="a Python file defining PATTERNS, a list of SampledPattern")
    parser.add_argument("-q", "--quiet", action="store_true", help="print nothing while writing")
    args = parser.parse_args(argv)
    library = load_library(args.file)
    motions = motions_of(library, len(trovelin.catalogue()))
    write_gallery(args.output, motions, progress=(lambda _: None) if args.quiet else print)


PAGE = """<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>trovelin motions</title>
<link rel="stylesheet" href="gallery.css">
</head>
<body>
<header>
  <h1>trovelin motions</h1>
  <input id="search" type="search" placeholder="Search name or description" autocomplete="off"
         aria-label="Search names and descriptions">
  <select id="family" aria-label="Family"></select>
  <select id="dims" aria-label="Dimensions">
    <option value="">All dimensions</option>
    <option value="1">1-D (x)</option>
    <option value="2">2-D (x&#8211;y)</option>
    <option value="3">3-D</option>
  </select>
  <label class="bpm">BPM <input id="bpm" type="number" min="1" max="999" step="any" value="120"></label>
  <button id="pause" type="button">Pause</button>
  <span id="count" aria-live="polite"></span>
  <span class="legend">3-D: a bigger, lighter point is a higher z</span>
</header>
<main id="grid"></main>
<p id="empty" hidden>No motion matches.</p>
<dialog id="view">
  <div class="view-head">
    <h2 id="view-name"></h2>
    <button id="view-close" type="button" aria-label="Close">&#215;</button>
  </div>
  <p id="view-description"></p>
  <p id="view-meta" class="meta"></p>
  <div class="view-body">
    <canvas id="view-path"></canvas>
    <canvas id="view-axes"></canvas>
  </div>
  <p class="caption">The loop runs from violet (the red ring is pip 0) to green; the axes read left to right in beats, the red line is now.</p>
  <p id="view-readout" class="readout"></p>
</dialog>
<script src="data.js"></script>
<script src="gallery.js"></script>
</body>
</html>
"""

STYLE = """* { box-sizing: border-box; }
body { margin: 0; font: 13px/1.35 system-ui, sans-serif; background: #f4f4f1; color: #1d1d1b; }
header { position: sticky; top: 0; z-index: 2; display: flex; flex-wrap: wrap; gap: 6px 10px;
         align-items: center; padding: 8px 14px; background: #fbfbf9; border-bottom: 1px solid #d8d8d2; }
h1 { font-size: 15px; margin: 0 8px 0 0; }
#search { flex: 1 1 220px; min-width: 160px; max-width: 420px; padding: 4px 8px; }
select, input, button { font: inherit; }
.bpm input { width: 5.5em; }
#count { color: #555; }
.legend { color: #777; font-size: 12px; margin-left: auto; }
main { display: grid; grid-template-columns: repeat(auto-fill, minmax(160px, 1fr)); gap: 6px; padding: 10px 14px; }
.card { display: flex; flex-direction: column; background: #fff; border: 1px solid #deded8; border-radius: 6px;
        padding: 4px 6px 6px; cursor: pointer; content-visibility: auto; contain-intrinsic-size: auto 200px; }
.card:hover, .card:focus { border-color: #6b8fb8; outline: none; box-shadow: 0 0 0 2px #c9d8ea; }
.card[hidden] { display: none; }
.stage { position: relative; height: 112px; }
.stage canvas { position: absolute; inset: 0; width: 100%; height: 100%; }
.name { font: 600 12px/1.3 ui-monospace, monospace; margin-top: 4px; overflow-wrap: anywhere; }
.meta { color: #666; font-size: 11.5px; margin: 1px 0 2px; }
.desc { color: #333; font-size: 11.5px; margin: 0; display: -webkit-box; -webkit-line-clamp: 3;
        -webkit-box-orient: vertical; overflow: hidden; }
#empty { padding: 20px; color: #666; }
dialog { width: min(1100px, 96vw); max-height: 94vh; border: 1px solid #bbb; border-radius: 8px; padding: 12px 16px; }
dialog::backdrop { background: rgba(30, 30, 28, 0.45); }
.view-head { display: flex; align-items: center; justify-content: space-between; }
.view-head h2 { font: 600 17px ui-monospace, monospace; margin: 0; }
#view-close { font-size: 20px; line-height: 1; border: none; background: none; cursor: pointer; padding: 2px 8px; }
#view-description { margin: 6px 0 2px; font-size: 14px; }
.view-body { display: flex; gap: 14px; flex-wrap: wrap; }
#view-path { width: 300px; height: 300px; flex: none; }
#view-axes { flex: 1 1 480px; height: 300px; min-width: 320px; }
.caption { color: #777; font-size: 11.5px; margin: 4px 0 0; }
.readout { font: 12px ui-monospace, monospace; color: #444; margin: 6px 0 0; }
"""

SCRIPT = r"""// The gallery page: cards drawn from data.js, all on one clock.
(function () {
  "use strict";
  const started = performance.now();
  const errors = [];
  window.addEventListener("error", (event) => errors.push(String(event.message)));

  const DATA = window.TROVELIN_GALLERY;
  const PPB = DATA.pipsPerBeat;
  const SCALE = DATA.scale;
  const AXIS_COLOURS = ["#2f6db5", "#d9822b", "#3a9a4f"];

  // ---- data: every loop at every pip, one byte per declared axis ----
  const raw = atob(DATA.rows);
  const bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);

  const entries = [];
  let offset = 0;
  for (const [name, description, period, dims, family] of DATA.entries) {
    const e = { name, description, period, dims, family: DATA.families[family], offset, index: entries.length };
    offset += period * dims;
    e.words = (name + " " + name.replace(/_/g, " ") + " " + description + " " + e.family).toLowerCase();
    entries.push(e);
  }
  if (offset !== bytes.length) throw new Error("data.js holds " + bytes.length + " values, its listing " + offset);
  const byName = new Map(entries.map((e) => [e.name, e]));

  function value(e, row, axis) {
    return axis < e.dims ? (bytes[e.offset + row * e.dims + axis] - SCALE) / SCALE : 0;
  }
  function rowOf(e, pip) {
    return ((pip % e.period) + e.period) % e.period;
  }
  function point(e, pip) {
    const row = rowOf(e, pip);
    return { pip: row, x: value(e, row, 0), y: value(e, row, 1), z: value(e, row, 2) };
  }
  // The plane a card shows: x-y, or x-z for a 3-D motion whose y never moves.
  function verticalAxis(e) {
    if (e.vertical === undefined) {
      e.vertical = 1;
      if (e.dims === 3) {
        let moves = false;
        for (let r = 0; r < e.period && !moves; r++) moves = bytes[e.offset + r * 3 + 1] !== SCALE;
        if (!moves) e.vertical = 2;
      }
    }
    return e.vertical;
  }

  // ---- one clock for every card ----
  const clock = { bpm: 120, anchorBeats: 0, anchorTime: performance.now() / 1000, paused: null, fixedSeconds: null };
  function beatsNow() {
    if (clock.fixedSeconds !== null) return clock.fixedSeconds * clock.bpm / 60;
    if (clock.paused !== null) return clock.paused;
    return clock.anchorBeats + (performance.now() / 1000 - clock.anchorTime) * clock.bpm / 60;
  }
  function reanchor() {
    clock.anchorBeats = beatsNow();
    clock.anchorTime = performance.now() / 1000;
  }
  function setBpm(bpm) {
    if (clock.paused === null && clock.fixedSeconds === null) reanchor();
    clock.bpm = bpm;
  }
  function pipNow() {
    return Math.floor(beatsNow() * PPB);
  }

  // ---- drawing ----
  function depthStyle(z) {
    return { radius: 2.5 + 2.6 * (z + 1), colour: "hsl(212, 70%, " + (24 + 24 * (z + 1)) + "%)" };
  }
  function frameOf(width, height, pad) {
    const r = Math.min(width, height) / 2 - pad;
    return { cx: width / 2, cy: height / 2, r };
  }
  function fitCanvas(canvas) {
    const box = canvas.getBoundingClientRect();
    const dpr = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(box.width * dpr)), h = Math.max(1, Math.round(box.height * dpr));
    if (canvas.width !== w || canvas.height !== h) { canvas.width = w; canvas.height = h; }
    const ctx = canvas.getContext("2d");
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    return { ctx, w: box.width, h: box.height };
  }
  function drawField(ctx, f) {
    ctx.strokeStyle = "#ecece6";
    ctx.lineWidth = 1;
    ctx.strokeRect(f.cx - f.r, f.cy - f.r, 2 * f.r, 2 * f.r);
    ctx.beginPath();
    ctx.moveTo(f.cx - f.r, f.cy); ctx.lineTo(f.cx + f.r, f.cy);
    ctx.moveTo(f.cx, f.cy - f.r); ctx.lineTo(f.cx, f.cy + f.r);
    ctx.stroke();
  }
  // The faint loop of a 2-D or 3-D motion (or the track of a 1-D one), drawn once per showing.
  function drawStill(ctx, e, w, h, pad, colourByTime) {
    ctx.clearRect(0, 0, w, h);
    const f = frameOf(w, h, pad);
    if (e.dims === 1) {
      ctx.fillStyle = "#efefea";
      ctx.fillRect(f.cx - f.r, f.cy - 7, 2 * f.r, 14);
      ctx.fillStyle = "#c8c8c0";
      for (const t of [-1, 0, 1]) ctx.fillRect(f.cx + t * f.r - 0.5, f.cy - 11, 1, 22);
      return;
    }
    drawField(ctx, f);
    const v = verticalAxis(e);
    const chunks = colourByTime ? 32 : 1;
    ctx.lineWidth = colourByTime ? 1.6 : 1.1;
    ctx.lineJoin = "round";
    for (let c = 0; c < chunks; c++) {
      const from = Math.floor(c * e.period / chunks), to = Math.floor((c + 1) * e.period / chunks);
      ctx.strokeStyle = colourByTime ? "hsl(" + (250 - 200 * c / chunks) + ", 45%, 62%)" : "rgba(60, 80, 110, 0.26)";
      ctx.beginPath();
      for (let r = from; r <= to; r++) {
        const row = r % e.period;
        const x = f.cx + value(e, row, 0) * f.r, y = f.cy - value(e, row, v) * f.r;
        if (r === from) ctx.moveTo(x, y); else ctx.lineTo(x, y);
      }
      ctx.stroke();
    }
    if (colourByTime) {
      // a ring where the loop starts
      ctx.strokeStyle = "#b8283c";
      ctx.lineWidth = 1.5;
      ctx.beginPath();
      ctx.arc(f.cx + value(e, 0, 0) * f.r, f.cy - value(e, 0, v) * f.r, 6, 0, 2 * Math.PI);
      ctx.stroke();
    }
  }
  // The moving point and a short trail behind it.
  function drawPoint(ctx, e, w, h, pad, pip, scale) {
    ctx.clearRect(0, 0, w, h);
    const f = frameOf(w, h, pad);
    const p = point(e, pip);
    if (e.dims === 1) {
      const x = f.cx + p.x * f.r;
      ctx.fillStyle = "rgba(47, 109, 181, 0.35)";
      ctx.fillRect(Math.min(f.cx, x), f.cy - 6, Math.abs(x - f.cx), 12);
      ctx.fillStyle = AXIS_COLOURS[0];
      ctx.fillRect(x - 2 * scale, f.cy - 11 * scale, 4 * scale, 22 * scale);
      return p;
    }
    const v = verticalAxis(e);
    const trail = Math.min(e.period - 1, 12);
    ctx.strokeStyle = "rgba(47, 109, 181, 0.45)";
    ctx.lineWidth = 2 * scale;
    ctx.lineCap = "round";
    ctx.beginPath();
    for (let k = trail; k >= 0; k--) {
      const row = rowOf(e, pip - k);
      const x = f.cx + value(e, row, 0) * f.r, y = f.cy - value(e, row, v) * f.r;
      if (k === trail) ctx.moveTo(x, y); else ctx.lineTo(x, y);
    }
    ctx.stroke();
    const depth = e.dims === 3 && v === 1 ? depthStyle(p.z) : { radius: 4.5, colour: "#1f4f8a" };
    ctx.fillStyle = depth.colour;
    ctx.beginPath();
    ctx.arc(f.cx + p.x * f.r, f.cy - (v === 1 ? p.y : p.z) * f.r, depth.radius * scale, 0, 2 * Math.PI);
    ctx.fill();
    return p;
  }

  // ---- the grid of cards ----
  const grid = document.getElementById("grid");
  const cards = new Map();
  const visible = new Set();
  const stats = { frames: 0, cardsLastFrame: 0, frameMs: 0, stillsDrawn: 0 };
  const beatsLabel = (period) => { const b = period / PPB; return (Number.isInteger(b) ? b : b.toFixed(2)) + (b === 1 ? " beat" : " beats"); };
  const dimsLabel = (dims) => dims === 1 ? "1-D" : dims === 2 ? "2-D" : "3-D";

  const fragment = document.createDocumentFragment();
  for (const e of entries) {
    const el = document.createElement("article");
    el.className = "card";
    el.tabIndex = 0;
    el.dataset.name = e.name;
    el.setAttribute("role", "button");
    el.innerHTML = '<div class="stage"><canvas class="still"></canvas><canvas class="live"></canvas></div>' +
      '<div class="name"></div><div class="meta"></div><p class="desc"></p>';
    el.querySelector(".name").textContent = e.name;
    el.querySelector(".meta").textContent = beatsLabel(e.period) + " \u00b7 " + dimsLabel(e.dims) + " \u00b7 " + e.family;
    el.querySelector(".desc").textContent = e.description;
    el.title = e.description;
    fragment.appendChild(el);
    cards.set(el, { entry: e, el, still: el.querySelector(".still"), live: el.querySelector(".live"), ready: false, drawn: null });
  }
  grid.appendChild(fragment);

  function release(card) {
    card.ready = false;
    for (const c of [card.still, card.live]) { c.width = 0; c.height = 0; }
  }
  const observer = new IntersectionObserver((changes) => {
    for (const change of changes) {
      const card = cards.get(change.target);
      if (change.isIntersecting) visible.add(card);
      else { visible.delete(card); release(card); }
    }
  }, { rootMargin: "120px 0px" });
  for (const el of cards.keys()) observer.observe(el);

  function drawCard(card, pip) {
    const e = card.entry;
    if (!card.ready) {
      const s = fitCanvas(card.still);
      drawStill(s.ctx, e, s.w, s.h, 8, false);
      card.size = fitCanvas(card.live);
      card.ready = true;
      stats.stillsDrawn++;
    }
    const { ctx, w, h } = card.size;
    card.drawn = drawPoint(ctx, e, w, h, 8, pip, 1);
  }

  // ---- filters ----
  const search = document.getElementById("search");
  const familySelect = document.getElementById("family");
  const dimsSelect = document.getElementById("dims");
  const count = document.getElementById("count");
  const counts = new Map();
  for (const e of entries) counts.set(e.family, (counts.get(e.family) || 0) + 1);
  familySelect.add(new Option("All families", ""));
  for (const [family, n] of counts) familySelect.add(new Option(family + " (" + n + ")", family));

  function applyFilters() {
    const words = search.value.toLowerCase().split(/\s+/).filter(Boolean);
    const family = familySelect.value, dims = dimsSelect.value;
    let shown = 0;
    for (const card of cards.values()) {
      const e = card.entry;
      const match = (!family || e.family === family) && (!dims || String(e.dims) === dims) &&
        words.every((w) => e.words.includes(w));
      card.el.hidden = !match;
      shown += match ? 1 : 0;
    }
    count.textContent = shown + " of " + entries.length + " motions";
    document.getElementById("empty").hidden = shown > 0;
  }
  search.addEventListener("input", applyFilters);
  familySelect.addEventListener("change", applyFilters);
  dimsSelect.addEventListener("change", applyFilters);

  // ---- tempo ----
  const bpmField = document.getElementById("bpm");
  bpmField.addEventListener("input", () => {
    const bpm = Number(bpmField.value);
    if (bpmField.value !== "" && Number.isFinite(bpm) && bpm >= 1 && bpm <= 999) setBpm(bpm);
  });
  const pauseButton = document.getElementById("pause");
  pauseButton.addEventListener("click", () => {
    if (clock.paused === null) { clock.paused = beatsNow(); pauseButton.textContent = "Play"; }
    else { clock.anchorBeats = clock.paused; clock.anchorTime = performance.now() / 1000; clock.paused = null; pauseButton.textContent = "Pause"; }
  });

  // ---- the open view ----
  const dialog = document.getElementById("view");
  const viewPath = document.getElementById("view-path");
  const viewAxes = document.getElementById("view-axes");
  let opened = null;

  function openView(e) {
    opened = { entry: e, drawn: null };
    document.getElementById("view-name").textContent = e.name;
    document.getElementById("view-description").textContent = e.description;
    const plane = e.dims === 1 ? "x only" : verticalAxis(e) === 2 ? "drawn in the x\u2013z plane" : e.dims === 3 ? "x\u2013y, depth z" : "x\u2013y";
    document.getElementById("view-meta").textContent = e.period + " pips \u00b7 " + beatsLabel(e.period) +
      " \u00b7 " + dimsLabel(e.dims) + " (" + plane + ") \u00b7 family " + e.family;
    if (!dialog.open) dialog.showModal();
    history.replaceState(null, "", "#" + e.name);
  }
  function closeView() {
    if (dialog.open) dialog.close();
  }
  dialog.addEventListener("close", () => { opened = null; history.replaceState(null, "", location.pathname + location.search); });
  dialog.addEventListener("click", (event) => { if (event.target === dialog) closeView(); });
  document.getElementById("view-close").addEventListener("click", closeView);
  grid.addEventListener("click", (event) => {
    const el = event.target.closest(".card");
    if (el) openView(cards.get(el).entry);
  });
  grid.addEventListener("keydown", (event) => {
    const el = event.target.closest(".card");
    if (el && (event.key === "Enter" || event.key === " ")) { event.preventDefault(); openView(cards.get(el).entry); }
  });

  function drawAxes(ctx, e, w, h, row) {
    ctx.clearRect(0, 0, w, h);
    const left = 26, right = 8, top = 16, gap = 8;
    const lane = (h - top - 2 * gap - 4) / 3, span = w - left - right;
    const xOf = (r) => left + span * r / e.period;
    ctx.font = "11px system-ui, sans-serif";
    ctx.textBaseline = "middle";
    const beats = e.period / PPB;
    const every = Math.max(1, Math.ceil(beats / 32));
    for (let b = 0; b <= beats; b++) {
      const x = xOf(b * PPB);
      ctx.fillStyle = b % 4 === 0 ? "#c9c9c2" : "#e6e6e0";
      ctx.fillRect(x - 0.5, top, 1, h - top - 4);
      if (b < beats && b % every === 0) { ctx.fillStyle = "#777"; ctx.fillText(String(b + 1), x + 3, 7); }
    }
    for (let a = 0; a < 3; a++) {
      const y0 = top + a * (lane + gap), mid = y0 + lane / 2, k = lane / 2 - 2;
      ctx.fillStyle = "#555";
      ctx.fillText("xyz"[a], 8, mid);
      ctx.strokeStyle = "#ddddd6";
      ctx.lineWidth = 1;
      ctx.strokeRect(left, y0, span, lane);
      ctx.beginPath(); ctx.moveTo(left, mid); ctx.lineTo(left + span, mid); ctx.stroke();
      if (a >= e.dims) {
        ctx.fillStyle = "#999";
        ctx.fillText("unused: always 0", left + 8, mid - 8);
        continue;
      }
      ctx.strokeStyle = AXIS_COLOURS[a];
      ctx.lineWidth = 1.5;
      ctx.beginPath();
      for (let r = 0; r <= e.period; r++) {
        const y = mid - value(e, r % e.period, a) * k;
        if (r === 0) ctx.moveTo(xOf(r), y); else ctx.lineTo(xOf(r), y);
      }
      ctx.stroke();
      ctx.fillStyle = AXIS_COLOURS[a];
      ctx.beginPath();
      ctx.arc(xOf(row), mid - value(e, row, a) * k, 3.5, 0, 2 * Math.PI);
      ctx.fill();
    }
    ctx.fillStyle = "rgba(200, 40, 60, 0.8)";
    ctx.fillRect(xOf(row) - 0.75, top, 1.5, h - top - 4);
  }
  const signed = (v) => (v < 0 ? "\u2212" : "+") + Math.abs(v).toFixed(3);
  function drawOpen(pip) {
    const e = opened.entry;
    const p = fitCanvas(viewPath);
    drawStill(p.ctx, e, p.w, p.h, 12, true);
    const f = frameOf(p.w, p.h, 12);
    // the point sits on top of the coloured loop: draw it on the same canvas
    const q = point(e, pip);
    if (e.dims === 1) {
      p.ctx.fillStyle = AXIS_COLOURS[0];
      p.ctx.fillRect(Math.min(f.cx, f.cx + q.x * f.r), f.cy - 6, Math.abs(q.x * f.r), 12);
      p.ctx.fillRect(f.cx + q.x * f.r - 3, f.cy - 14, 6, 28);
    } else {
      const v = verticalAxis(e);
      const depth = e.dims === 3 && v === 1 ? depthStyle(q.z) : { radius: 5, colour: "#1f4f8a" };
      p.ctx.fillStyle = depth.colour;
      p.ctx.beginPath();
      p.ctx.arc(f.cx + q.x * f.r, f.cy - (v === 1 ? q.y : q.z) * f.r, depth.radius * 1.5, 0, 2 * Math.PI);
      p.ctx.fill();
    }
    const a = fitCanvas(viewAxes);
    drawAxes(a.ctx, e, a.w, a.h, q.pip);
    document.getElementById("view-readout").textContent = "pip " + q.pip + " of " + e.period + " \u00b7 beat " +
      (q.pip / PPB + 1).toFixed(2) + " \u00b7 x " + signed(q.x) + "  y " + signed(q.y) + "  z " + signed(q.z) +
      " \u00b7 " + clock.bpm + " BPM";
    opened.drawn = q;
  }

  // ---- the frame loop ----
  function frame() {
    const t = performance.now();
    const pip = pipNow();
    let n = 0;
    if (opened) drawOpen(pip);
    else for (const card of visible) { drawCard(card, pip); n++; }
    stats.frames++;
    stats.cardsLastFrame = n;
    stats.frameMs = performance.now() - t;
    requestAnimationFrame(frame);
  }

  applyFilters();
  // A link to index.html#NAME opens that motion.
  function openFromHash() {
    const e = byName.get(decodeURIComponent(location.hash.slice(1)));
    if (e) openView(e);
  }
  window.addEventListener("hashchange", openFromHash);
  openFromHash();
  requestAnimationFrame(frame);

  // A small window into the page for tests and for curious users at the console.
  window.trovelinGallery = {
    loadMs: performance.now() - started,
    errors,
    stats,
    entries: () => entries.length,
    bpm: () => clock.bpm,
    beats: beatsNow,
    // Hold the clock at `seconds` after beat zero (at whatever BPM the page has); null lets it run again.
    holdAt(seconds) {
      if (seconds === null) { clock.fixedSeconds = null; reanchor(); } else clock.fixedSeconds = seconds;
    },
    // The point a motion is at `seconds` after beat zero at the page's BPM.
    pointAt(name, seconds) {
      return point(byName.get(name), Math.floor(seconds * clock.bpm / 60 * PPB));
    },
    // What the last frame drew for a card, or for the open view (null if it was not drawn).
    drawn(name) {
      if (opened) return opened.entry.name === name ? opened.drawn : null;
      for (const card of visible) if (card.entry.name === name) return card.drawn;
      return null;
    },
    visibleCards: () => [...visible].map((card) => card.entry.name),
    open: (name) => openView(byName.get(name)),
  };
})();
"""

if __name__ == "__main__":
    main()
