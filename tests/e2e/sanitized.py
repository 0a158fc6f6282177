"""Runs e2e cases against a build with AddressSanitizer and UBSan.

Usage: sanitized.py REPORT_DIR CASE...   (CASE as for python -m unittest)

Every sanitizer report of the game goes to a file in REPORT_DIR (the game's
standard error is not read by the harness); the run fails when the cases
fail or when any report was written, and prints the reports.
"""
import glob
import os
import shutil
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


def main():
    reports, cases = os.path.abspath(sys.argv[1]), sys.argv[2:]
    shutil.rmtree(reports, ignore_errors=True)
    os.makedirs(reports)
    log = os.path.join(reports, "report")
    os.environ["ASAN_OPTIONS"] = f"detect_leaks=1:abort_on_error=1:log_path={log}"
    os.environ["LSAN_OPTIONS"] = f"suppressions={ROOT}/tools/lsan.supp:print_suppressions=0"
    os.environ["UBSAN_OPTIONS"] = f"print_stacktrace=1:halt_on_error=1:log_path={log}"
    # Without a session bus address the message-bus library tries to start a
    # bus through the X display, and keeps what that failed attempt
    # allocated; a desktop session always has its bus address set.
    os.environ.setdefault("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent")
    sys.path.insert(0, HERE)
    suite = unittest.defaultTestLoader.loadTestsFromNames(cases)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    found = sorted(glob.glob(log + "*"))
    for path in found:
        with open(path) as f:
            print(f"--- {os.path.basename(path)}\n{f.read()}")
    print(f"{len(found)} sanitizer report(s)")
    return 0 if result.wasSuccessful() and not found else 1


if __name__ == "__main__":
    sys.exit(main())
