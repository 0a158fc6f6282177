#!/usr/bin/env python3
"""Checks that the game core stays free of the window, GL and sound.

  core_check.py links PROGRAM...     fails when a program (built on the core
                                     alone) needs a GL, GLEW, GLFW, SDL or X11
                                     library, by its dynamic section (ldd)
  core_check.py headers LIST SRC     fails when a source named in LIST (one
                                     path a line), or a header of SRC it
                                     includes, includes such a header
"""
import os
import re
import subprocess
import sys

FORBIDDEN_LIBRARY = re.compile(r"^\s*lib(GL|GLX|GLU|GLEW|GLdispatch|OpenGL|EGL|glfw|SDL2|X11|Xext|xcb)\b[^ ]*\.so")
FORBIDDEN_HEADER = re.compile(r'^\s*#\s*include\s*[<"]\s*(GL/|GLES\d*/|GLFW/|SDL|X11/|EGL/|glew)', re.IGNORECASE)
PROJECT_HEADER = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def check_links(programs):
    bad = []
    for program in programs:
        result = subprocess.run(["ldd", program], capture_output=True, text=True)
        if result.returncode != 0:
            bad.append(f"{program}: ldd failed: {result.stderr.strip()}")
            continue
        for line in result.stdout.splitlines():
            if FORBIDDEN_LIBRARY.match(line):
                bad.append(f"{program} needs {line.strip()}")
    for line in bad:
        print(line)
    print(f"checked {len(programs)} programs: " + ("FAILED" if bad else "no GL, window or sound library"))
    return not bad


def check_headers(list_file, src_root):
    with open(list_file) as f:
        todo = [line.strip() for line in f if line.strip()]
    seen = set()
    bad = []
    while todo:
        path = os.path.normpath(todo.pop())
        if path in seen:
            continue
        seen.add(path)
        with open(path, errors="replace") as f:
            for number, line in enumerate(f, 1):
                if FORBIDDEN_HEADER.match(line):
                    bad.append(f"{path}:{number}: {line.strip()}")
                included = PROJECT_HEADER.match(line)
                if included:
                    for base in (os.path.dirname(path), src_root):
                        candidate = os.path.join(base, included.group(1))
                        if os.path.isfile(candidate):
                            todo.append(candidate)
                            break
    for line in bad:
        print(line)
    print(f"checked {len(seen)} files of the core: " + ("FAILED" if bad else "no GL, window or sound header"))
    return not bad


def main(argv):
    if len(argv) >= 3 and argv[1] == "links":
        return 0 if check_links(argv[2:]) else 1
    if len(argv) == 4 and argv[1] == "headers":
        return 0 if check_headers(argv[2], argv[3]) else 1
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
