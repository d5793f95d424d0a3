"""Python interface of the K4x trace configuration library, over its C interface.

    with k4xtrace.Manager("K4x_DSP0") as m:
        m["Trace Mode"] = 2
        m.save("K4x_DSP0-TCfg.txt")
"""
from ._capi import ENVIRONMENT_VARIABLE, K4xError
from .manager import DeviceInfo, FileType, Manager

__all__ = ["ENVIRONMENT_VARIABLE", "DeviceInfo", "FileType", "K4xError", "Manager"]
