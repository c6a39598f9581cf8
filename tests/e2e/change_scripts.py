"""The change script's bytes as the tests expect them."""

import re

RESET = b"@echo off\r\n"
CHANGED = "Directory has been changed to"


def script_for(path):
    """The whole script that moves the shell to `path` when no code page is
    switched (a run whose output is not a console). `path` holds none of
    the characters that cmd would read as syntax."""
    return (RESET + f'(call )\r\nchdir /D "{path}"\r\nif not errorlevel 1 echo {CHANGED} {path}\r\n'.encode("utf-8"))


def chdir_target(script):
    """The directory a script moves the shell to, or None for the reset."""
    found = re.search(rb'\r\nchdir /D "([^"\r\n]*)"\r\n', script)
    return found.group(1).decode("utf-8").replace("%%", "%") if found else None
