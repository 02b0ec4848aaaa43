import os

import pytest


def pytest_addoption(parser):
    parser.addoption("--slow", action="store_true", default=False,
                     help="also run the multi-million-value cases")


def pytest_collection_modifyitems(config, items):
    if config.getoption("--slow") or os.environ.get("CI"):
        return
    skip = pytest.mark.skip(reason="slow: run with --slow")
    for item in items:
        if "slow" in item.keywords:
            item.add_marker(skip)
