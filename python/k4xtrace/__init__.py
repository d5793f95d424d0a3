"""Python interface of the K4x trace configuration library, over its C interface.

A Manager is the configuration of one CPU, a mutable mapping from property
names to values:

    with k4xtrace.Manager("K4x_DSP0") as m:
        m["Trace Mode"] = 2
        m.save("K4x_DSP0-TCfg.txt")
        print(dict(m))

Every failure raises K4xError; an unknown property name raises
UnknownPropertyError, also a KeyError, and a value of the wrong type
PropertyTypeError, also a TypeError. Status, FileType and PropertyType are
the C interface's constants. Value is the type of a property's value (int,
bool or str), Answer that of the callable that out_file asks, and
ENVIRONMENT_VARIABLE names the variable that can name the C interface
library's file (K4XTRACE_C_LIBRARY).
"""
from ._capi import ENVIRONMENT_VARIABLE, K4xError, PropertyTypeError, UnknownPropertyError
from ._constants import FileType, PropertyType, Status
from .manager import Answer, DeviceInfo, Manager, Value

__all__ = ["ENVIRONMENT_VARIABLE", "Answer", "DeviceInfo", "FileType", "K4xError", "Manager", "PropertyType",
           "PropertyTypeError", "Status", "UnknownPropertyError", "Value"]
