// The gallery page: cards drawn from data.js, all on one clock.
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
  const FIGURES = DATA.figures;                      // [[key, label], ...] in the order each entry stores them
  const FAMILY_SENTENCE = new Map(DATA.families);
  const FAMILIES = DATA.families.map(([f]) => f);
  const WORD_MEANING = new Map(DATA.words);

  const entries = [];
  let offset = 0;
  for (const [name, description, period, dims, family, figures, words] of DATA.entries) {
    const e = { name, description, period, dims, family: FAMILIES[family], offset, index: entries.length,
                figures: {}, axes: figures[FIGURES.length], words: new Map(words) };
    FIGURES.forEach(([key], i) => { e.figures[key] = figures[i]; });
    offset += period * dims;
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

  // ---- search: every entry's words, weighted by where they come from ----
  // A search term scores by the best place it is found: a character word counts most
  // (more the stronger the word), then the name and family, the description, and
  // least the family's sentences. A term also matches the start of a longer word.
  const WEIGHT = { word: 6, name: 4, family: 3, description: 2, sentence: 1 };
  const STOPWORDS = new Set(("a an the for of to and or with some something anything that which in on at my me i " +
    "want need needs like looking look motion motions move moves movement movements please thing kind one " +
    "is it be very bit little more most").split(" "));
  // What people type, and the words of the gallery it stands for.
  const SYNONYMS = {
    punchy: ["punchy", "punch"], punch: ["punch", "punchy"], hits: ["hits", "hit"], hit: ["hit", "hits"],
    sweeping: ["sweeping", "sweep"], sweeps: ["sweep", "sweeping"], swinging: ["swing"], pendulum: ["swing", "pendulum"],
    quick: ["fast"], rapid: ["fast", "strobe"], calm: ["slow", "smooth"], gentle: ["slow", "smooth"],
    soft: ["smooth", "slow"], round: ["circle", "orbit"], circular: ["circle", "orbit"], circles: ["circle"],
    spin: ["orbit", "circle", "spiral"], rotate: ["orbit", "circle"], orbits: ["orbit"], waves: ["wave"],
    shaking: ["shake"], shaky: ["shake"], tremor: ["shake"], jitter: ["shake"], flutter: ["shake", "flutter"],
    bouncy: ["bounce"], bouncing: ["bounce"], stabs: ["stab"], chases: ["chase"], fans: ["fan"],
    big: ["wide"], large: ["wide"], tiny: ["small"], subtle: ["small", "slow"], jerky: ["punchy", "hits"],
    "side-to-side": ["horizontal"], "up-and-down": ["vertical"], "2-d": ["planar"], flat: ["planar", "1-d"],
    // the parts of a song, and the motions they usually call for
    verse: ["verse", "smooth", "slow"], intro: ["intro", "slow", "smooth"], outro: ["outro", "slow", "smooth"],
    breakdown: ["breakdown", "slow", "flowing"], chorus: ["chorus", "wide", "sweeping"],
    build: ["build", "busy", "fast"], drop: ["drop", "punchy", "hits"],
  };
  function normalise(text) {
    return text.toLowerCase()
      .replace(/figure[\s_-]*(eight|8)/g, "figure-eight")
      .replace(/side[\s_-]+to[\s_-]+side/g, "side-to-side")
      .replace(/up[\s_-]+and[\s_-]+down/g, "up-and-down")
      .replace(/\b([123])[\s_-]?d\b/g, "$1-d");
  }
  function tokensOf(text) {
    return normalise(text).split(/[^a-z0-9\-]+/).map((t) => t.replace(/^-+|-+$/g, "")).filter(Boolean);
  }
  for (const e of entries) {
    const index = new Map();
    const add = (tokens, weight) => { for (const t of tokens) index.set(t, Math.max(index.get(t) || 0, weight)); };
    add(tokensOf(FAMILY_SENTENCE.get(e.family) || ""), WEIGHT.sentence);
    add(tokensOf(e.description), WEIGHT.description);
    add(tokensOf(e.family), WEIGHT.family);
    add(tokensOf(e.name.replace(/_/g, " ")).concat([e.name.toLowerCase()]), WEIGHT.name);
    for (const [w, strength] of e.words) add([normalise(w).replace(/ /g, "-")], WEIGHT.word + 2 * strength);
    e.terms = index;
  }
  // How well an entry answers one term (0 if not at all).
  function termScore(e, alternatives) {
    let best = 0;
    for (const term of alternatives) {
      const exact = e.terms.get(term);
      if (exact) best = Math.max(best, exact);
      else if (term.length >= 3) {
        for (const [token, weight] of e.terms) if (token.startsWith(term)) best = Math.max(best, weight * 0.8);
      }
    }
    return best;
  }
  // A query: its terms (each with the words it stands for), and those no motion answers.
  function parseQuery(text) {
    const terms = [], ignored = [];
    for (const t of tokensOf(text)) {
      if (STOPWORDS.has(t)) continue;
      const alternatives = SYNONYMS[t] || [t];
      if (entries.some((e) => termScore(e, alternatives) > 0)) terms.push({ term: t, alternatives });
      else ignored.push(t);
    }
    return { terms, ignored };
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

  // ---- the cards, in a grid and by family ----
  const grid = document.getElementById("grid");
  const familiesSection = document.getElementById("families");
  const cards = new Map();
  const cardOf = new Map();
  const visible = new Set();
  const stats = { frames: 0, cardsLastFrame: 0, frameMs: 0, stillsDrawn: 0 };
  const beatsLabel = (period) => { const b = period / PPB; return (Number.isInteger(b) ? b : b.toFixed(2)) + (b === 1 ? " beat" : " beats"); };
  const dimsLabel = (dims) => dims === 1 ? "1-D" : dims === 2 ? "2-D" : "3-D";
  const HIT_WORDS = new Set(["punchy", "punch", "hits", "hit", "strobe", "stab", "busy", "shake", "fast"]);
  // The words a card shows: its shape and pace first, at most five.
  const SHOWN_FIRST = ["still", "circle", "orbit", "figure eight", "sweep", "swing", "bounce", "wave", "spiral", "fan",
    "punchy", "slow", "fast", "chase", "stab", "strobe", "shake", "flowing", "sweeping", "smooth", "hits", "busy",
    "wide", "small", "holds", "1-D", "planar", "3-D"];
  function wordChips(e, most) {
    const box = document.createElement("div");
    box.className = "words";
    const words = SHOWN_FIRST.filter((w) => e.words.has(w)).slice(0, most);
    for (const w of words) {
      const chip = document.createElement("span");
      chip.className = "word" + (e.words.get(w) >= 0.75 ? " strong" : "") + (HIT_WORDS.has(w) ? " hit" : "");
      chip.textContent = w;
      chip.title = WORD_MEANING.get(w) || "";
      box.appendChild(chip);
    }
    return box;
  }

  const familyGrids = new Map();
  for (const family of FAMILIES) {
    const box = document.createElement("details");
    box.className = "family";
    box.dataset.family = family;
    const summary = document.createElement("summary");
    summary.innerHTML = '<span class="fam"></span><span class="n"></span><span class="sentence"></span>';
    summary.querySelector(".fam").textContent = family;
    summary.querySelector(".sentence").textContent = FAMILY_SENTENCE.get(family) || "";
    const inner = document.createElement("div");
    inner.className = "grid";
    box.append(summary, inner);
    familiesSection.appendChild(box);
    familyGrids.set(family, { box, inner, count: summary.querySelector(".n") });
  }

  for (const e of entries) {
    const el = document.createElement("article");
    el.className = "card";
    el.tabIndex = 0;
    el.dataset.name = e.name;
    el.setAttribute("role", "button");
    el.innerHTML = '<div class="stage"><canvas class="still"></canvas><canvas class="live"></canvas></div>' +
      '<div class="name"></div><div class="meta"></div><p class="desc"></p>';
    // long names break after their underscores rather than inside a word
    e.name.split(/(?<=_)/).forEach((part, i) => {
      if (i) el.querySelector(".name").appendChild(document.createElement("wbr"));
      el.querySelector(".name").appendChild(document.createTextNode(part));
    });
    el.querySelector(".meta").textContent = beatsLabel(e.period) + " \u00b7 " + dimsLabel(e.dims) + " \u00b7 " + e.family;
    el.insertBefore(wordChips(e, 5), el.querySelector(".desc"));
    el.querySelector(".desc").textContent = e.description;
    el.title = e.description;
    const card = { entry: e, el, still: el.querySelector(".still"), live: el.querySelector(".live"), ready: false, drawn: null };
    cards.set(el, card);
    cardOf.set(e, card);
  }

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

  // ---- search, filters, sort and the address ----
  const search = document.getElementById("search");
  const familySelect = document.getElementById("family");
  const dimsSelect = document.getElementById("dims");
  const loopSelect = document.getElementById("loop");
  const wordSelect = document.getElementById("word");
  const sortSelect = document.getElementById("sort");
  const groupedButton = document.getElementById("grouped");
  const count = document.getElementById("count");
  const note = document.getElementById("note");
  const familyCounts = new Map();
  for (const e of entries) familyCounts.set(e.family, (familyCounts.get(e.family) || 0) + 1);
  familySelect.add(new Option("All families", ""));
  for (const [family, n] of familyCounts) familySelect.add(new Option(family + " (" + n + ")", family));
  // loop lengths in beats, by the bands people count in
  const LOOPS = [["1", "up to 1 beat", 0, 1], ["2", "2 beats", 1, 2], ["4", "3 to 4 beats", 2, 4],
                 ["8", "5 to 8 beats", 4, 8], ["16", "9 to 16 beats", 8, 16], ["long", "over 16 beats", 16, Infinity]];
  loopSelect.add(new Option("Any loop length", ""));
  for (const [value, label, above, upTo] of LOOPS) {
    const n = entries.filter((e) => e.period / PPB > above && e.period / PPB <= upTo).length;
    if (n) loopSelect.add(new Option(label + " (" + n + ")", value));
  }
  wordSelect.add(new Option("Any character", ""));
  for (const [w] of DATA.words) {
    const n = entries.filter((e) => e.words.has(w)).length;
    if (n) wordSelect.add(new Option(w + " (" + n + ")", w));
  }
  sortSelect.add(new Option("Best match, then catalogue order", ""));
  for (const [key, label] of FIGURES) {
    sortSelect.add(new Option(label + ", low first", key + "-up"));
    sortSelect.add(new Option(label + ", high first", key + "-down"));
  }

  // The state of the page, as the address keeps it: #q=...&family=...&open=NAME
  const state = { q: "", family: "", dims: "", loop: "", word: "", sort: "", view: "families", open: "" };
  const KEYS = ["q", "family", "dims", "loop", "word", "sort", "view", "open"];
  let results = [];

  function matches(e) {
    if (state.family && e.family !== state.family) return false;
    if (state.dims && String(e.dims) !== state.dims) return false;
    if (state.word && !e.words.has(state.word)) return false;
    if (state.loop) {
      const band = LOOPS.find(([value]) => value === state.loop), beats = e.period / PPB;
      if (band && !(beats > band[2] && beats <= band[3])) return false;
    }
    return true;
  }
  // Which motions answer the state, best first.
  function select() {
    const { terms, ignored } = parseQuery(state.q);
    let found = entries.filter(matches).map((e) => {
      const scores = terms.map((t) => termScore(e, t.alternatives));
      return { e, hits: scores.filter((s) => s > 0).length, score: scores.reduce((a, b) => a + b, 0) };
    });
    let partial = false;
    if (ignored.length && !terms.length) found = [];   // words, but none that any motion answers
    else if (terms.length) {
      const most = Math.max(0, ...found.map((f) => f.hits));
      partial = most > 0 && most < terms.length;
      found = found.filter((f) => f.hits > 0 && f.hits === most);
    }
    if (state.sort) {
      const [key, way] = state.sort.split("-");
      const sign = way === "down" ? -1 : 1;
      found.sort((a, b) => sign * (a.e.figures[key] - b.e.figures[key]) || a.e.index - b.e.index);
    } else if (terms.length) {
      found.sort((a, b) => b.score - a.score || a.e.index - b.e.index);
    }
    return { list: found.map((f) => f.e), terms, ignored, partial };
  }

  function grouped() {
    return state.view === "families" && !state.q && !state.sort && !state.word && !state.loop && !state.dims;
  }
  function render() {
    const { list, terms, ignored, partial } = select();
    results = list;
    const shown = new Set(list);
    for (const card of cards.values()) card.el.hidden = !shown.has(card.entry);
    const asGroups = grouped();
    groupedButton.setAttribute("aria-pressed", String(state.view === "families"));
    if (asGroups) {
      for (const { box, inner, count: n } of familyGrids.values()) {
        const family = box.dataset.family;
        const members = list.filter((e) => e.family === family);
        box.hidden = members.length === 0;
        n.textContent = members.length + (members.length === 1 ? " motion" : " motions");
        if (inner.childElementCount !== members.length || inner.firstChild !== (members.length ? cardOf.get(members[0]).el : null)) {
          const fragment = document.createDocumentFragment();
          for (const e of members) fragment.appendChild(cardOf.get(e).el);
          inner.appendChild(fragment);
        }
        if (state.family === family) box.open = true;
      }
      familiesSection.hidden = false;
      grid.replaceChildren();
    } else {
      const fragment = document.createDocumentFragment();
      for (const e of list) fragment.appendChild(cardOf.get(e).el);
      grid.replaceChildren(fragment);
      familiesSection.hidden = true;
    }
    const words = [];
    if (ignored.length) words.push("no motion answers \u201c" + ignored.join(" ") + "\u201d, so it is left out");
    if (partial) words.push("no motion answers every word: these answer the most");
    if (terms.some((t) => t.alternatives.length > 1 || t.alternatives[0] !== t.term)) {
      words.push("searched for " + terms.map((t) => t.alternatives.length > 1 || t.alternatives[0] !== t.term
        ? t.term + " (" + t.alternatives.join(", ") + ")" : t.term).join(" + "));
    }
    note.textContent = words.join("; ");
    note.hidden = words.length === 0;
    count.textContent = list.length + " of " + entries.length + " motions";
    document.getElementById("empty").hidden = list.length > 0;
  }

  // The address: written on every change, read on load and when it changes.
  function writeAddress() {
    if (!state.open && KEYS.every((k) => !state[k] || (k === "view" && state[k] === "families"))) {
      history.replaceState(null, "", location.pathname + location.search);
      return;
    }
    const params = new URLSearchParams();
    for (const k of KEYS) if (state[k] && !(k === "view" && state[k] === "families")) params.set(k, state[k]);
    history.replaceState(null, "", "#" + params.toString().replace(/\+/g, "%20"));
  }
  function readAddress() {
    const hash = location.hash.slice(1);
    for (const k of KEYS) state[k] = k === "view" ? "families" : "";
    if (hash && !hash.includes("=")) state.open = decodeURIComponent(hash);   // index.html#NAME
    else for (const [k, v] of new URLSearchParams(hash)) if (KEYS.includes(k)) state[k] = v;
    search.value = state.q;
    familySelect.value = state.family;
    dimsSelect.value = state.dims;
    loopSelect.value = state.loop;
    wordSelect.value = state.word;
    sortSelect.value = state.sort;
  }
  function changed() {
    state.q = search.value.trim();
    state.family = familySelect.value;
    state.dims = dimsSelect.value;
    state.loop = loopSelect.value;
    state.word = wordSelect.value;
    state.sort = sortSelect.value;
    render();
    writeAddress();
  }
  search.addEventListener("input", changed);
  for (const s of [familySelect, dimsSelect, loopSelect, wordSelect, sortSelect]) s.addEventListener("change", changed);
  groupedButton.addEventListener("click", () => { state.view = state.view === "families" ? "all" : "families"; render(); writeAddress(); });
  document.getElementById("reset").addEventListener("click", () => {
    search.value = "";
    for (const s of [familySelect, dimsSelect, loopSelect, wordSelect, sortSelect]) s.value = "";
    changed();
  });

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

  // ---- likeness: character figures and the shape of the path ----
  // A motion's signature: its figures, each scaled by its spread over all motions,
  // and the strength of the first six harmonics of each axis (phase left out, so a
  // loop started elsewhere is the same shape), scaled to the motion's own size.
  const HARMONICS = 6, SHAPE_SAMPLES = 64;
  let signatures = null;
  function characterVector(e) {
    const f = e.figures;
    return [Math.log(f.speed + 0.05), f.extent, Math.log(f.punch + 1), Math.log(f.hits_per_beat + 1),
            Math.log(f.turns_per_beat + 1), f.rest_share, f.smoothness, e.axes.length, Math.log2(f.loop_beats)];
  }
  function shapeVector(e) {
    const out = [];
    let total = 0;
    for (let axis = 0; axis < 3; axis++) {
      for (let k = 1; k <= HARMONICS; k++) {
        let re = 0, im = 0;
        for (let s = 0; s < SHAPE_SAMPLES; s++) {
          const v = value(e, Math.floor(s * e.period / SHAPE_SAMPLES), axis), a = 2 * Math.PI * k * s / SHAPE_SAMPLES;
          re += v * Math.cos(a); im -= v * Math.sin(a);
        }
        const m = Math.hypot(re, im) / SHAPE_SAMPLES;
        out.push(m);
        total += m * m;
      }
    }
    const norm = Math.sqrt(total) || 1;
    return out.map((m) => m / norm);
  }
  function buildSignatures() {
    const raw = entries.map(characterVector);
    const n = raw.length, width = raw[0].length;
    const mean = [], spread = [];
    for (let i = 0; i < width; i++) {
      mean[i] = raw.reduce((s, v) => s + v[i], 0) / n;
      spread[i] = Math.sqrt(raw.reduce((s, v) => s + (v[i] - mean[i]) ** 2, 0) / n) || 1;
    }
    return entries.map((e, j) => ({ character: raw[j].map((v, i) => (v - mean[i]) / spread[i]), shape: shapeVector(e) }));
  }
  function distance(a, b) {
    let c = 0, s = 0;
    for (let i = 0; i < a.character.length; i++) c += (a.character[i] - b.character[i]) ** 2;
    for (let i = 0; i < a.shape.length; i++) s += (a.shape[i] - b.shape[i]) ** 2;
    return Math.sqrt(c / a.character.length) + 3 * Math.sqrt(s);
  }
  // The `count` motions most like `e`, nearest first.
  function similar(e, count) {
    if (!signatures) signatures = buildSignatures();
    const mine = signatures[e.index];
    return entries.filter((o) => o !== e).map((o) => [distance(mine, signatures[o.index]), o])
      .sort((a, b) => a[0] - b[0] || a[1].index - b[1].index).slice(0, count).map(([, o]) => o);
  }

  const FIGURE_UNITS = { loop_beats: " beats", speed: " per beat", hits_per_beat: " per beat", turns_per_beat: " per beat" };
  function showFigures(e) {
    const table = document.getElementById("view-figures");
    table.replaceChildren();
    const rows = FIGURES.map(([key, label]) => {
      const v = e.figures[key];
      return [label, key === "rest_share" ? Math.round(v * 100) + " %" : (Math.round(v * 100) / 100) + (FIGURE_UNITS[key] || "")];
    });
    rows.push(["moving axes", e.axes || "none"]);
    for (const [label, text] of rows) {
      const tr = table.insertRow();
      tr.insertCell().textContent = label;
      tr.insertCell().textContent = text;
    }
  }
  function showSimilar(e) {
    const box = document.getElementById("view-similar");
    box.replaceChildren();
    for (const o of similar(e, 8)) {
      const button = document.createElement("button");
      button.type = "button";
      button.dataset.name = o.name;
      button.title = o.description;
      const canvas = document.createElement("canvas");
      const label = document.createElement("span");
      label.textContent = o.name;
      button.append(canvas, label);
      button.addEventListener("click", () => openView(o));
      box.appendChild(button);
      const s = fitCanvas(canvas);
      drawStill(s.ctx, o, s.w, s.h, 4, true);
    }
  }

  function openView(e) {
    opened = { entry: e, drawn: null };
    document.getElementById("view-name").textContent = e.name;
    document.getElementById("view-description").textContent = e.description;
    const plane = e.dims === 1 ? "x only" : verticalAxis(e) === 2 ? "drawn in the x\u2013z plane" : e.dims === 3 ? "x\u2013y, depth z" : "x\u2013y";
    document.getElementById("view-meta").textContent = e.period + " pips \u00b7 " + beatsLabel(e.period) +
      " \u00b7 " + dimsLabel(e.dims) + " (" + plane + ") \u00b7 family " + e.family;
    document.getElementById("view-family").textContent = FAMILY_SENTENCE.get(e.family) || "";
    document.getElementById("view-words").replaceWith(Object.assign(wordChips(e, 40), { id: "view-words" }));
    showFigures(e);
    if (!dialog.open) dialog.showModal();
    showSimilar(e);
    dialog.scrollTop = 0;
    state.open = e.name;
    writeAddress();
  }
  function closeView() {
    if (dialog.open) dialog.close();
  }
  dialog.addEventListener("close", () => { opened = null; state.open = ""; writeAddress(); });
  dialog.addEventListener("click", (event) => { if (event.target === dialog) closeView(); });
  document.getElementById("view-close").addEventListener("click", closeView);
  for (const area of [grid, familiesSection]) {
    area.addEventListener("click", (event) => {
      const el = event.target.closest(".card");
      if (el) openView(cards.get(el).entry);
    });
    area.addEventListener("keydown", (event) => {
      const el = event.target.closest(".card");
      if (el && (event.key === "Enter" || event.key === " ")) { event.preventDefault(); openView(cards.get(el).entry); }
    });
  }


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

  // The address restores the search, the filters and an open card (index.html#NAME opens one too).
  function restore() {
    readAddress();
    render();
    const e = byName.get(state.open);
    if (e) openView(e);
    else if (dialog.open) dialog.close();
  }
  window.addEventListener("hashchange", restore);
  restore();
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
    // The motions the search and filters select, in the order the page lists them.
    results: () => results.map((e) => e.name),
    grouped,
    wordsOf: (name) => [...byName.get(name).words.keys()],
    similar: (name, count) => similar(byName.get(name), count || 8).map((e) => e.name),
    open: (name) => openView(byName.get(name)),
  };
})();
