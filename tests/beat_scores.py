"""The beat styles' scores, read from the drum grids they are written in (src/catalogue/recipes/beat/scores.cpp)
into onset pips per lane, for tests that ask whether a gesture answers its score and only after each hit.

The grids are the score a drummer reads, not code: one character a sixteenth (bars split by '|'), swing as a
feel that moves the e, & and a of every beat, triplet-eighth lines, and hits at exact pips. Reading them here
again, rather than trusting the generator's reading, is itself checked: the kicks read here are the dips of
every style's bounce."""
import ast
import operator
import re
from pathlib import Path

SCORES = Path(__file__).resolve().parent.parent / "src" / "catalogue" / "recipes" / "beat" / "scores.cpp"
LANES = ("kick", "snare", "hat", "perc", "bass")

_OPS = {ast.Add: operator.add, ast.Sub: operator.sub, ast.Mult: operator.mul, ast.Div: operator.truediv}


def _number(text, names):
    """An arithmetic expression of numbers and the score's named constants (ACCENT, BAR, ...)."""
    def value(node):
        if isinstance(node, ast.Constant) and isinstance(node.value, (int, float)):
            return float(node.value)
        if isinstance(node, ast.Name):
            return names[node.id]
        if isinstance(node, ast.BinOp) and type(node.op) in _OPS:
            return _OPS[type(node.op)](value(node.left), value(node.right))
        raise ValueError(f"not a number: {text!r}")
    return value(ast.parse(text.strip(), mode="eval").body)


def _calls(chain):
    """(method, argument text) of each `.method(...)` in a chain of calls, parentheses balanced."""
    out, i = [], 0
    while (m := re.compile(r"\.\s*(\w+)\s*\(").search(chain, i)):
        depth, j, quoted = 1, m.end(), False
        while depth:
            c = chain[j]
            if c == '"' and chain[j - 1] != "\\":
                quoted = not quoted
            elif not quoted:
                depth += {"(": 1, ")": -1}.get(c, 0)
            j += 1
        out.append((m.group(1), chain[m.end():j - 1]))
        i = j
    return out


def _split(args):
    """Top-level comma-separated arguments (braces and strings kept whole)."""
    parts, depth, quoted, start = [], 0, False, 0
    for j, c in enumerate(args):
        if c == '"' and (j == 0 or args[j - 1] != "\\"):
            quoted = not quoted
        elif not quoted:
            depth += {"{": 1, "}": -1, "(": 1, ")": -1}.get(c, 0)
            if c == "," and depth == 0:
                parts.append(args[start:j].strip())
                start = j + 1
    parts.append(args[start:].strip())
    return parts


def _grid(text, strings):
    """A grid argument: a string literal, adjacent literals, or a named constant."""
    text = text.strip()
    if text in strings:
        return strings[text]
    return "".join(re.findall(r'"([^"]*)"', text))


def read_scores(path=SCORES):
    """{style: {"period": pips, lane: [(pip, level, voice), ...] in time order}} for every style, in order."""
    source = re.sub(r"//[^\n]*", "", path.read_text())
    strings = {m.group(1): "".join(re.findall(r'"([^"]*)"', m.group(2)))
               for m in re.finditer(r"constexpr std::string_view (\w+)\s*=\s*([^;]*);", source)}
    names = {m.group(1): _number(m.group(2), {})
             for m in re.finditer(r"constexpr double (\w+)\s*=\s*([\d.]+)\s*;", source)}
    feels = {m.group(1): tuple(_number(v, names) for v in _split(m.group(2)))
             for m in re.finditer(r"constexpr Feel (\w+)\{([^}]*)\}", source)}
    marks = {"X": names["ACCENT"], "x": names["NORMAL"], "o": names["SOFT"], "g": names["GHOST"]}
    styles = {}
    for m in re.finditer(r'Sheet\("(\w+)",\s*"[^"]*",\s*(\d+),\s*\d+\)(.*?)\.score\(\)', source, re.S):
        key, period = m.group(1), int(m.group(2))
        score = {"period": period, **{lane: [] for lane in LANES}}
        feel = feels["STRAIGHT"]

        def land(step):
            return 64.0 * (step // 4) + (0.0, *feel)[step % 4]

        for method, args in _calls(m.group(3)):
            parts = _split(args)
            if method == "feel":
                feel = feels[parts[0]]
            elif method in ("kick", "snare", "hat", "perc", "bass"):
                steps = _grid(parts[0], strings).replace("|", "")
                assert len(steps) * 16 == period, (key, method)
                voice = int(parts[1]) if len(parts) > 1 else 0
                score[method] += [(land(i), marks[c], voice) for i, c in enumerate(steps) if c in marks]
            elif method == "triplets":
                lane = parts[0].removeprefix("Lane::")
                steps = _grid(parts[1], strings).replace("|", "")
                voice = int(parts[2]) if len(parts) > 2 else 0
                score[lane] += [(256.0 * (i // 12) + 256.0 * (i % 12) / 12, marks[c], voice)
                                for i, c in enumerate(steps) if c in marks]
            elif method == "at":
                lane = parts[0].removeprefix("Lane::")
                for hit in re.findall(r"\{([^{}]*)\}", parts[1]):
                    fields = _split(hit)
                    voice = int(_number(fields[3], names)) if len(fields) > 3 else 0
                    score[lane].append((_number(fields[0], names), _number(fields[1], names), voice))
            elif method != "note":
                raise ValueError(f"{key}: a score call this reader does not know: .{method}(")
        for lane in LANES:
            score[lane].sort(key=lambda hit: (hit[0], hit[2]))
        styles[key] = score
    return styles
