#!/usr/bin/env python3
"""Writes the inputs of compare.sh into the directory given as the first argument.

mixed.txt  about 50 MB of mixed Japanese/ASCII lines (1,000,000 by default), LF breaks, a final
           break, no empty line, tabs in some lines, every character in code page 932 and below
           U+D800 so that UTF-16 code-unit order equals byte order
long.txt   one ASCII line of 10 MB without a line break
The second argument scales the line count (for the scaling runs of the script).
"""
import os
import random
import sys

out_dir = sys.argv[1]
lines = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
rng = random.Random(20240501)

kana = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
katakana = "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
kanji = "日本語文字列変換行数検索置換順番号月末曜日時間東京大阪名古屋株式会社商品価格在庫"
ascii_words = ["item", "stock", "price", "yen", "pcs", "order", "file", "data", "line", "value",
               "total", "user", "name", "code", "date"]


def word():
    r = rng.random()
    if r < 0.35:
        return "".join(rng.choice(kana) for _ in range(rng.randint(1, 4)))
    if r < 0.55:
        return "".join(rng.choice(katakana) for _ in range(rng.randint(1, 4)))
    if r < 0.7:
        return "".join(rng.choice(kanji) for _ in range(rng.randint(1, 3)))
    if r < 0.9:
        return rng.choice(ascii_words)
    return str(rng.randint(0, 99999))


# Lines are drawn from a pool of words: building every word afresh would make the generator
# slower than the programs it feeds.
words = [word() for _ in range(50_000)]
separators = [" "] * 9 + ["\t"]


def line(i):
    n = rng.randint(4, 9)
    ws = rng.choices(words, k=n)
    seps = rng.choices(separators, k=n - 1)
    text = "".join(w + s for w, s in zip(ws, seps)) + ws[-1]
    return "item-" + text if i % 10 == 0 else text


with open(os.path.join(out_dir, "mixed.txt"), "w", encoding="utf-8", newline="\n") as f:
    chunk = []
    for i in range(lines):
        chunk.append(line(i))
        if len(chunk) == 10_000:
            f.write("\n".join(chunk) + "\n")
            chunk = []
    if chunk:
        f.write("\n".join(chunk) + "\n")

alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-"
block = "".join(rng.choice(alphabet) for _ in range(1 << 16))
with open(os.path.join(out_dir, "long.txt"), "w", encoding="ascii", newline="") as f:
    total = 10 * 1000 * 1000
    while total > 0:
        f.write(block[:total])
        total -= len(block)
