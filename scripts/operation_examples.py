#!/usr/bin/env python3
"""Prints the README's table of the operations, each with the example its declaration gives
(the command line's `help` shows it), run through the command line again.

    scripts/operation_examples.py [build/bin/kivoautofill-cli]

Every result in the table is what the program printed, so regenerating the table and comparing it
with the README shows whether the examples still hold.
"""
import pathlib
import re
import shlex
import subprocess
import sys


def shown(text: str) -> str:
    text = text.replace("\r\n", "⏎").replace("\n", "⏎").replace("\t", "⇥").replace("|", "\\|")
    return f"`{text}`" if text else "(empty)"


def printf_text(fmt: str) -> str:
    """The text `printf FMT` writes, for the escapes the help uses."""
    return re.sub(r"\\[ntr\\]|%%", lambda m: {"\\n": "\n", "\\t": "\t", "\\r": "\r", "\\\\": "\\", "%%": "%"}[m.group(0)], fmt)


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    cli = sys.argv[1] if len(sys.argv) > 1 else str(root / "build" / "bin" / "kivoautofill-cli")
    listing = subprocess.run([cli, "list"], capture_output=True, check=True, text=True).stdout
    print("| Code | Tab | Operation | Options | Upper text | Result |")
    print("|---:|:-:|---|---|---|---|")
    failed = 0
    for line in listing.splitlines():
        code, name = line.split()[:2]
        help_text = subprocess.run([cli, "help", code], capture_output=True, check=True, text=True).stdout
        head = help_text.splitlines()[0]
        tab = re.search(r"tab (\d+) of the window: (.*)\)$", head)
        description = help_text.splitlines()[1].strip().rstrip(".")
        command = next(l for l in help_text.splitlines() if l.strip().startswith("$ printf"))
        words = shlex.split(command.strip()[2:])
        upper = printf_text(words[1])
        options = words[words.index(name) + 1:]
        run = subprocess.run([cli, name, *options], input=upper.encode(), capture_output=True, check=False)
        result = shown(run.stdout.decode())
        for message in run.stderr.decode().splitlines():
            result += f" ({message.split(': ', 1)[1]})"
        if run.returncode != 0:
            failed += 1
            result += f" **exit {run.returncode}**"
        args = " ".join(f"`{o}`" for o in options) or "–"
        # A "<Tab>" in a caption or a description would be read as an HTML tag and hidden.
        caption, description = (t.replace("<", "&lt;") for t in (tab.group(2), description))
        print(f"| {code} | {tab.group(1)} | `{name}`<br>{caption}<br>{description} | {args} | "
              f"{shown(upper)} | {result} |")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
