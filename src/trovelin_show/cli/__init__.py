"""The `trovelin` command: check, render and run a show file; choose and look at motions.

Each subcommand lives in a module of this package that defines `HELP` (one
line), `configure(parser)` (its arguments) and `run(args) -> int` (the exit
status). Problems a user can fix are printed as messages, never as tracebacks.
"""
from __future__ import annotations

import argparse
import importlib
import sys
from typing import Callable, Optional, Sequence, cast

from ..extras import MissingExtra

# Subcommands in the order `trovelin --help` lists them.
COMMANDS: tuple[str, ...] = ("check", "render", "run", "gallery", "preview")


class UsageError(Exception):
    """A problem with what the user asked for, printed as it is, exit status 2."""


def build_parser() -> tuple[argparse.ArgumentParser, dict[str, Callable[[argparse.Namespace], int]]]:
    parser = argparse.ArgumentParser(prog="trovelin", description=(__doc__ or "").splitlines()[0])
    commands = parser.add_subparsers(dest="command", metavar="COMMAND", required=True)
    runners: dict[str, Callable[[argparse.Namespace], int]] = {}
    for name in COMMANDS:
        module = importlib.import_module(f"{__name__}.{name}")
        sub = commands.add_parser(name, help=cast(str, module.HELP), description=module.__doc__,
                                  formatter_class=argparse.RawDescriptionHelpFormatter)
        module.configure(sub)
        runners[name] = cast(Callable[[argparse.Namespace], int], module.run)
    return parser, runners


def main(argv: Optional[Sequence[str]] = None) -> int:
    parser, runners = build_parser()
    args = parser.parse_args(argv)
    try:
        return runners[args.command](args)
    except MissingExtra as error:
        print(f"trovelin {args.command}: {error}", file=sys.stderr)
        return 2
    except UsageError as error:
        print(f"trovelin {args.command}: {error}", file=sys.stderr)
        return 2
    except OSError as error:
        if error.filename is None:  # not a file the user named: a fault to be seen whole
            raise
        print(f"trovelin {args.command}: {error.filename}: {error.strerror}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        return 130
