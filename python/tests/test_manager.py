"""The Python interface against a build of the C interface and the simulated target."""
import os

import pytest
from k4xtrace import K4xError, Manager

def _reenter(m):
    return m.out_file("C6x_core9", answer=lambda question: m["Trace Mode"])


def _after_close(m):
    m.close()
    return m["Trace Mode"]


def _without_exports(m):
    return Manager("K4x_DSP0", library=os.path.join(os.path.dirname(os.environ["K4XTRACE_C_LIBRARY"]), "libvexa.so"))


def _raise(question):
    raise ValueError("no answer for " + question)


# Each fault with the exception it raises, its status (None: not a K4xError) and a part of its text.
FAULTS = [
    # name                  call                                                                         raises             status  text
    ("MissingLibrary",       lambda m: Manager("K4x_DSP0", library="/none/libK4xTraceC.so.0"),  K4xError, 2,      "tried the library argument: /none/libK4xTraceC.so.0"),
    ("WithoutExports",       _without_exports,                                                           K4xError, 2,      "undefined symbol: k4x_"),
    ("BadName",              lambda m: m["Trace mode"],                                                  KeyError, 1,      "Invalide property name"),
    ("NoValue",              lambda m: m.__setitem__("Trace Mode", 2.0),                                 TypeError, 4,     "not float"),
    ("LongText",             lambda m: m.load("n" * 1500),                                               K4xError, 1,      "n" * 1500 + '": the file is missing'),
    ("AnswerRaises",         lambda m: m.out_file("C6x_core9", answer=_raise),                           ValueError,        None,   "no answer for Application for C6x_core9"),
    ("AnswerReenters",       _reenter,                                                                   K4xError, 3,      "cannot use the manager that asks it"),
    ("Closed",               _after_close,                                                               K4xError, 3,      "the manager is closed"),
]


@pytest.mark.parametrize("call, error, status, text", [row[1:] for row in FAULTS], ids=[row[0] for row in FAULTS])
def test_faults_raise_with_the_library_text(manager, call, error, status, text):
    with pytest.raises(error) as raised:
        call(manager)
    assert text in str(raised.value)
    assert getattr(raised.value, "status", None) == status


def test_a_session_on_the_simulated_target(manager, tmp_path):
    # The six numbers, the four event bits, TWP_Protocol and CycleModeDelta, as saves write them.
    assert list(manager.values()) == [0] * 6 + [""] * 4 + [False, True]
    assert (len(manager), manager.get("Trace mode")) == (12, None)
    manager["Trace Mode"], manager["Event Bit0"], manager["TWP_Protocol"] = -7, "PC == 0x8000 ü", True
    manager["Event Bit1"] = "e" * 300  # longer than the first buffer
    manager.save("K4x_DSP1-TCfg.txt")
    with Manager("K4x_DSP1", first_number=1, second_number=2) as other:
        assert (other["Trace Mode"], other["Event Bit0"], other["TWP_Protocol"]) == (-7, "PC == 0x8000 ü", True)
        assert other["Event Bit1"] == "e" * 300
        other.live()  # the simulated target's TWP source is 1
        assert other.out_file("K4x_DSP1") == "apps/K4x_DSP1.out"
        assert other.out_file("C6x_core9") is None
        assert other.out_file("C6x_core9", answer=lambda question: tmp_path) == str(tmp_path)
        assert other.device_info() == ("K4x_DSP1", 1, 2)
