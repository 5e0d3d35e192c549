#!/usr/bin/env python3
"""Writes docs/legacy-characters.md: every character the legacy-characters operation finds, with
the standard form it writes, as the built command line does it.

usage: scripts/legacy_table.py [BUILD_DIR]     (default: build/)
"""
import pathlib
import re
import subprocess
import sys

root = pathlib.Path(__file__).resolve().parent.parent
cli = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else root / "build") / "bin" / "kivoautofill-cli"


def run(text, action):
    result = subprocess.run([str(cli), "legacy-characters", "--action=" + action, "--line-breaks=lf"],
                            input=text.encode("utf-8"), capture_output=True, check=False)
    return result.stdout.decode("utf-8")


# Every character with a double-byte code page 932 form, one a line: the operation picks out its own.
candidates = [chr(c) for c in range(0x80, 0x10000)
              if not 0xD800 <= c <= 0xDFFF and len(chr(c).encode("cp932", "ignore")) == 2]
text = "\n".join(candidates)
found = [int(m.group(1)) for m in re.finditer(r"^(\d+)行1文字目：", run(text, "list"), re.M)]
replaced = run(text, "replace").split("\n")

rows = []
for line in found:
    legacy = candidates[line - 1]
    standard = replaced[line - 1]
    rows.append((legacy, standard if standard != legacy else None))

out = ["# 機種依存文字の置き換え表 (legacy characters and their standard forms)", "",
       "What `kivoautofill-cli legacy-characters --action=replace` (機種依存文字を「標準の文字に置き換える」)",
       "writes for each character that code page 932 adds to JIS X 0208; \"—\" marks a character without",
       "a standard form, which is left as it is and reported. Made by `scripts/legacy_table.py` from the",
       "built program.", "",
       "| Character | Code point | Standard form |", "|:-:|:-:|:-:|"]
private = [legacy for legacy, _ in rows if 0xE000 <= ord(legacy) <= 0xF8FF]
for legacy, standard in rows:
    if legacy in private:
        continue
    shown = "`" + standard + "`" if standard else "—"
    out.append(f"| {legacy} | U+{ord(legacy):04X} | {shown} |")
if private:
    # The user-defined area looks different on every machine: one row for all of it.
    out.append(f"| 外字 ({len(private)}) | U+{ord(private[0]):04X}–U+{ord(private[-1]):04X} | — |")
out.append("")
(root / "docs" / "legacy-characters.md").write_text("\n".join(out), encoding="utf-8")
print(f"{len(rows)} characters, {sum(1 for _, s in rows if s)} with a standard form")
