"""One throw-away profile for the whole session: the library reads it when it makes its first manager.
The runner puts the simulated target on PATH and names the C interface library in K4XTRACE_C_LIBRARY."""
import os

import pytest


@pytest.fixture(scope="session", autouse=True)
def profile(tmp_path_factory):
    os.environ.update(USERPROFILE=str(tmp_path_factory.mktemp("profile")), ZR_TRACE_LOGGING="0")


@pytest.fixture
def manager():
    import k4xtrace

    with k4xtrace.Manager("K4x_DSP0") as m:
        yield m
