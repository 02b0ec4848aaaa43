"""The type stub installed beside the module describes exactly what it registers."""
import ast
import pathlib

import pytest

import trovelin

STUB = ast.parse((pathlib.Path(__file__).resolve().parent.parent / "stubs" / "trovelin.pyi").read_text())
CLASSES = {n.name: n for n in STUB.body if isinstance(n, ast.ClassDef) and not n.name.startswith("_")}
FUNCTIONS = {n.name: n for n in STUB.body if isinstance(n, ast.FunctionDef)}


def runtime_parameters(fn):
    """Parameter names from the first signature line the binding generates."""
    line = fn.__doc__.strip().splitlines()[0]
    inner = line[line.index("(") + 1:line.rindex(") ->")]
    names, depth, start = [], 0, 0
    for i, ch in enumerate(inner + ","):
        depth += ch in "[(" and 1 or ch in "])" and -1 or 0
        if ch == "," and depth == 0:
            part = inner[start:i].strip()
            if part and part != "/":
                names.append(part.split(":")[0].strip())
            start = i + 1
    return [n for n in names if n != "self"]


def stub_parameters(node):
    args = node.args
    return [a.arg for a in args.posonlyargs + args.args if a.arg != "self"]


def test_module_level_names_in_registration_order():
    stub = [n.name if not isinstance(n, ast.AnnAssign) else n.target.id
            for n in STUB.body if isinstance(n, (ast.ClassDef, ast.FunctionDef, ast.AnnAssign))]
    assert [n for n in stub if not n.startswith("_")] == [k for k in vars(trovelin) if not k.startswith("_")]


@pytest.mark.parametrize("name", CLASSES)
def test_class_members(name):
    cls = getattr(trovelin, name)
    stub = {n.name for n in CLASSES[name].body if isinstance(n, ast.FunctionDef)} - {"__init__"}
    assert stub == {k for k in vars(cls) if not k.startswith("_")}


@pytest.mark.parametrize("owner, name", [(None, f) for f in FUNCTIONS] + [
    (c, f.name) for c, node in CLASSES.items() for f in node.body
    if isinstance(f, ast.FunctionDef) and not any(getattr(d, "id", "") == "property" for d in f.decorator_list)])
def test_argument_names(owner, name):
    fn = getattr(getattr(trovelin, owner) if owner else trovelin, name)
    node = (CLASSES[owner] if owner else STUB).body
    stub = next(n for n in node if isinstance(n, ast.FunctionDef) and n.name == name)
    runtime = runtime_parameters(fn)
    if not owner and name not in ("sample", "catalogue"):
        assert runtime == ["arg0"] and stub.args.posonlyargs  # positional only
    else:
        assert stub_parameters(stub) == runtime


def documented_names():
    """Every public name the stub declares, with the docstring an editor would show for it."""
    found = []
    for i, node in enumerate(STUB.body):
        if isinstance(node, ast.AnnAssign):  # a constant: its docstring is the string right after it
            after = STUB.body[i + 1] if i + 1 < len(STUB.body) else None
            text = after.value.value if isinstance(after, ast.Expr) and isinstance(after.value, ast.Constant) else None
            found.append((node.target.id, text))
        elif isinstance(node, (ast.ClassDef, ast.FunctionDef)) and not node.name.startswith("_"):
            found.append((node.name, ast.get_docstring(node)))
            for member in getattr(node, "body", []) if isinstance(node, ast.ClassDef) else []:
                if isinstance(member, ast.FunctionDef):
                    found.append((f"{node.name}.{member.name}", ast.get_docstring(member)))
    return found


def test_every_public_name_has_a_docstring_in_the_stub_and_none_in_the_module():
    names = documented_names()
    assert {n for n, _ in names if "." not in n} == {k for k in vars(trovelin) if not k.startswith("_")}
    missing = [n for n, doc in names if not doc or not doc.strip()]
    assert missing == []
    # The module keeps only what the binding library generates: a signature line per function.
    for name in FUNCTIONS:
        assert getattr(trovelin, name).__doc__.strip().startswith(name + "(")
