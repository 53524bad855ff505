"""The checks of the Python tests: each failed one is printed as it is found, and the test
ends with their number and a failing exit status.

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
    from checks import check, finish
"""
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def finish(kind):
    """Ends the test: with an error naming the number of failed checks of the kind, if any."""
    if failures:
        sys.exit("%d %s check(s) failed" % (len(failures), kind))
