#!/usr/bin/env bash
# Writes tests/text/data/holidays_1955_2030.csv: the Japanese national holidays of 1955-2030 as two
# published tables list them, so that the holiday rules are checked against data that was not
# derived from them. The Cabinet Office's table (npm japanese-public-holidays) starts in 1955 and
# ends with the years it has announced; @holiday-jp/holiday_jp covers 1970-2050. Both are MIT
# licensed; their notices are in tests/text/data/holidays_LICENSE.txt. Needs node and npm, and is
# run by hand when a table gains years: the tests read only the committed file.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/tests/text/data/holidays_1955_2030.csv"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

npm install --silent --no-audit --no-fund --prefix "$work" \
    @holiday-jp/holiday_jp@2.5.1 japanese-public-holidays@3.2.38 >/dev/null

cd "$work"
node - "$out" <<'JS'
const fs = require("fs");
const holidayJp = require("@holiday-jp/holiday_jp").holidays;
const cabinetCsv = fs.readFileSync("node_modules/japanese-public-holidays/index.csv", "utf8");

const cabinet = new Map();
for (const line of cabinetCsv.trim().split("\n").slice(1)) {
  const [date, name] = line.trim().split(",");
  cabinet.set(date, name);
}
const cabinetLast = [...cabinet.keys()].sort().pop().slice(0, 4);

const rows = new Map();
for (const [date, name] of cabinet) if (date <= "2030-12-31") rows.set(date, [name, ""]);
for (const date of Object.keys(holidayJp)) {
  if (date > "2030-12-31") continue;
  const row = rows.get(date) || ["", ""];
  row[1] = holidayJp[date].name;
  rows.set(date, row);
}

// Where both tables cover a year they must list the same days, or neither can be trusted there.
const disagreements = [...rows].filter(([date, [c, h]]) =>
  date >= "1970" && date.slice(0, 4) <= cabinetLast && (c === "" || h === ""));
if (disagreements.length > 0) {
  console.error("the tables disagree on:", disagreements);
  process.exit(1);
}

const lines = [
  "# Japanese national holidays 1955-2030: date, name in the Cabinet Office's table (1955-" + cabinetLast + "),",
  "# name in @holiday-jp/holiday_jp 2.5.1 (1970-2030); empty where a table does not cover the year.",
  "# Made by scripts/holidays_fixture.sh from japanese-public-holidays 3.2.38 and",
  "# @holiday-jp/holiday_jp 2.5.1 (MIT licences: holidays_LICENSE.txt).",
  "date,cabinet_office,holiday_jp",
];
for (const date of [...rows.keys()].sort()) lines.push([date, ...rows.get(date)].join(","));
fs.writeFileSync(process.argv[2], lines.join("\n") + "\n");
JS
echo "wrote $out"
