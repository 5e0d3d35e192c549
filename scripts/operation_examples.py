#!/usr/bin/env python3
"""Prints the README's table of the 35 operations, each example run through the command line.

    scripts/operation_examples.py [build/bin/kivoautofill-cli]

Every result in the table is what the program printed, so regenerating the table and comparing it
with the README shows whether the examples still hold.
"""
import pathlib
import subprocess
import sys

# code, tab, caption (… for a blank stretch), English, parameters, upper text
EXAMPLES = [
    (0, 1, "リバース", "Reverse the text", [], "abc\r\nあいう"),
    (1, 1, "文字数をカウント", "Count characters or bytes",
     ["Combo39=バイト数をカウントする(改行をカウントしない)"], "abc\r\nあいう"),
    (2, 1, "特殊文字を次の文字に置換", "Replace line breaks, BS or Tab", ["Combo40=Tab(タブ)", "Text26=,"],
     "a\tb\tc"),
    (3, 1, "…の数をカウントする", "Count the letters of one class", [], "Hello World"),
    (4, 1, "…に次の文字を追加する", "Add a text at the start or end of every line", ["Text3=・"],
     "りんご\r\nみかん"),
    (5, 1, "…数字を…に置き換", "Replace digits", ["Text4=*"], "TEL 03-1234"),
    (6, 1, "…から…文字を次の文字に置き換える", "Replace characters at the line end",
     ["Combo32=右", "Text5=。"], "晴れ!\r\n雨!"),
    (7, 1, "…から見つけた…の…を次の文字に置換", "Replace the side of a found text",
     ["Text7==", "Text8=***"], "id=12\r\npw=ab"),
    (8, 1, "数字だけを抜き出す", "Keep only the digits", [], "abc12\r\nあ3"),
    (9, 1, "ダブルバイト文字だけを抜き出す", "Keep only the double-byte characters", [], "abcあいう123"),
    (10, 1, "半角文字だけを抜き出す", "Keep only the single-byte characters", [], "abcあいう123"),
    (11, 1, "複数行の1行毎に左側にTab文字を1つ追加する", "Indent every line with a Tab", [], "a\r\nb"),
    (12, 1, "複数行から次の条件を満たす行を抜き出す", "Keep the lines that contain (or lack) a text",
     ["Text13=東京"], "東京都\r\n大阪府\r\n東京駅"),
    (13, 2, "複数行の行数をカウントする", "Count lines", [], "a\r\nb\r\nc"),
    (14, 2, "複数行から1行抜き出す", "Extract one line", ["Text11=2"], "a\r\nb\r\nc"),
    (15, 2, "改行無しデータを1文字ずつ重複チェックを行う", "Check a one-line text for repeated characters",
     [], "abcabd"),
    (16, 2, "…行を…に置換", "Replace the odd or even lines", ["Text12=---"], "a\r\nb\r\nc\r\nd"),
    (17, 2, "…から…文字目に…を差し込む", "Put a text in at a position", ["Combo4=右", "Combo3=2", "Text14=X"],
     "abc\r\nde"),
    (18, 2, "1行文字列に次の文字数毎改行を入れる", "Break a one-line text every n characters", ["Combo5=3"],
     "abcdefgh"),
    (19, 2, "行毎に1行内すべての…～…を…に置換", "Replace every range between two delimiters",
     ["Text16=<", "Text17=>", "Text18=*"], "a<b>c<d>e"),
    (20, 2, "行毎に…～…を…に置換", "Replace the first range between two delimiters",
     ["Text19=<", "Text20=>", "Text21=*"], "a<b>c<d>e"),
    (21, 2, "…から…文字目～文字数…文字を置換", "Replace characters by position",
     ["Combo6=2", "Combo7=3", "Text34=***"], "abcdefg"),
    (22, 2, "…行目から複数行の行数から…行おきに抜き出す", "Extract every n-th line", [], "1\r\n2\r\n3\r\n4\r\n5"),
    (23, 2, "…行目から複数行の行数から…行おきに抜き出した残り", "The lines every-n-th leaves", [],
     "1\r\n2\r\n3\r\n4\r\n5"),
    (24, 2, "…辺より…文字目から…文字抜き出す", "Extract characters counted from a side",
     ["Combo12=2", "Combo13=3"], "abcdef"),
    (25, 2, "…辺より…文字目から…文字抜き出した残り", "What that extraction leaves",
     ["Combo14=2", "Combo15=3"], "abcdef"),
    (26, 3, "個々の数字をインクリメントまたはデクリメントしてループ追加する",
     "Repeat the text, counting its numbers up or down", ["Check1(0)=1", "Check1(1)=1", "ComboId(1)=デクリメント",
                                                         "Text6=3"], "A1-B9"),
    (27, 4, "複数行から文字をソートする", "Sort lines", [], "cherry\r\napple\r\nbanana"),
    (28, 4, "…行目から…行おきに…から…文字目後に…数値を入れる", "Put running numbers into every n-th line",
     [], "a\r\nb\r\nc"),
    (29, 4, "…から…番目に見つけた数字を…後改行して…行追加する", "Copies with the k-th number counted",
     ["Text41=2"], "第1回"),
    (30, 4, "…から見つけた…を含む…側…文字を次の文字に置き換える", "Replace around a found text",
     ["Text15==", "Combo50=右", "Combo49=2", "Text22=:"], "id=12\r\nname=ab"),
    (31, 4, "…を…する", "Step a date by days, months or years", ["Combo52=月", "Text24=3"], "2024/01/31"),
    (32, 4, "月末の日にちを列挙する", "List month-end dates", ["Text27=3", "DTPicker1=2024/01/01"], ""),
    (33, 4, "月初めの…の日にちを列挙する", "List the first given weekday of months",
     ["Combo54=月", "Text28=3", "DTPicker2=2024/01/01"], ""),
    (34, 4, "…を列挙する", "List a weekday every n weeks",
     ["Combo55=金", "Text29=2", "Combo56=2", "DTPicker3=2024/01/01"], ""),
]


def shown(text: str) -> str:
    text = text.replace("\r\n", "⏎").replace("\t", "⇥").replace("|", "\\|")
    return f"`{text}`" if text else "(empty)"


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    cli = sys.argv[1] if len(sys.argv) > 1 else str(root / "build" / "bin" / "kivoautofill-cli")
    print("| Code | Tab | Operation | Parameters | Upper text | Result |")
    print("|---:|:-:|---|---|---|---|")
    failed = 0
    for code, tab, caption, english, params, upper in EXAMPLES:
        run = subprocess.run([cli, str(code), *params], input=upper.encode(), capture_output=True, check=False)
        result = shown(run.stdout.decode())
        for message in run.stderr.decode().splitlines():
            result += f" ({message.split(': ', 1)[1]})"
        if run.returncode != 0:
            failed += 1
            result += f" **exit {run.returncode}**"
        args = " ".join(f"`{p}`" for p in params) or "–"
        print(f"| {code} | {tab} | {caption}<br>{english} | {args} | {shown(upper)} | {result} |")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
