"""The package's version is the project's: project() in ../CMakeLists.txt."""
import os
import re

from setuptools import setup


def project_version() -> str:
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, os.pardir, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(K4xTraceConfig VERSION ([0-9.]+)", cmake.read()).group(1)


setup(version=project_version())
