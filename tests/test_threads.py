"""Several threads sampling every kind of source at once see exactly what one thread sees."""
import threading

import trovelin

LISTING = trovelin.catalogue()
DEFAULTS = [d["name"] for d in LISTING[:: max(1, len(LISTING) // 97)]] + [LISTING[-1]["name"]]
OWN = [trovelin.SampledPattern(f"own{i}", "threaded", [((i * 7 + k) % 11 / 10 - 0.5, k / 400, -0.25)
                                                          for k in range(17 + 31 * i)]) for i in range(6)]
LIBRARY = trovelin.PatternLibrary(OWN)
TAKE = trovelin.SampledRecording("take", ["pan", "tilt", "zoom"],
                                 [[k / 5000, -k / 5000, 0.5] for k in range(3000)], bpm=123.0, start_pip=-700)
PIPS = [-2**31, -1, 0, 1, 63, 64, 1000, 2**31 - 1] + list(range(-300, 300, 7))


def work():
    out = []
    for name in DEFAULTS:
        out += [trovelin.sample(name, p).as_tuple() for p in PIPS]
    for name in [p.name for p in OWN] + DEFAULTS[:20]:
        out += [LIBRARY.sample(name, p).as_tuple() for p in PIPS]
    out += [tuple(TAKE.sample(p)) for p in range(-700, 2300, 3)]
    out += [trovelin.circle(p).as_tuple() for p in PIPS]
    return out


def test_threads_sampling_at_once_match_a_serial_run():
    serial = work()
    results = [None] * 8
    start = threading.Barrier(len(results))

    def run(k):
        start.wait()
        results[k] = [work() for _ in range(3)]

    threads = [threading.Thread(target=run, args=(k,)) for k in range(len(results))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(r == [serial] * 3 for r in results)
