#!/usr/bin/env bash
# The command-line options are written out three times: the usage text (kraylo --help, made from
# the program's own option table), the manual page and the players' options table in
# docs/playing.md. This holds the three equal: every option of the usage text, with its value as
# the usage text writes it, is in the manual page's OPTIONS section and in the docs' table (there
# with the usage text's words beside it, as they are), and neither names an option the usage text
# lacks.
# Usage: options_match.sh <kraylo executable> <source folder>
set -euo pipefail
kraylo=$1 source=$2
manual=$source/packaging/kraylo.6
docs=$source/docs/playing.md
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# "--option VALUE<TAB>what it does", one option a line: the usage text's lines that begin with
# "  --", where two blanks part the option from its words.
help=$("$kraylo" --help) || { fail "kraylo --help ended with status $?"; exit 1; }
usage=$(awk '/^  --/ { line = substr($0, 3); at = index(line, "  "); words = substr(line, at);
                       sub(/^ +/, "", words); print substr(line, 1, at - 1) "\t" words }' <<<"$help")
[ -n "$usage" ] || { fail "kraylo --help lists no option:"$'\n'"$help"; exit 1; }

# The manual page's options as a reader sees them: the line after each .TP of the OPTIONS
# section, its macro's words joined as troff joins them (.B and .I with blanks, .BI, .BR and the
# like alternating without), the font changes dropped and \- read as -.
manual_options=$(awk '
  /^\.SH / { inside = ($2 == "OPTIONS"); next }
  !inside { next }
  /^\.TP/ { tagged = 1; next }
  tagged {
    tagged = 0
    macro = $1; rest = substr($0, length(macro) + 2)
    joiner = (macro == ".B" || macro == ".I") ? " " : ""
    text = ""; word = ""; quoted = 0; words = 0
    for (i = 1; i <= length(rest); i++) {
      c = substr(rest, i, 1)
      if (c == "\"") { quoted = !quoted; if (quoted) words++; continue }
      if (c == " " && !quoted) {
        if (word != "" || words) { text = text (text == "" ? "" : joiner) word }
        word = ""; words = 0; continue
      }
      word = word c
    }
    if (word != "" || words) text = text (text == "" ? "" : joiner) word
    gsub(/\\f[BIRP]/, "", text); gsub(/\\-/, "-", text)
    print text
  }' "$manual")

# The docs' table: its rows under "## Command-line options" whose first cell is `--option ...`,
# as "--option ...<TAB>second cell".
docs_options=$(awk -F'|' '
  /^## / { inside = ($0 == "## Command-line options"); next }
  inside && /^\| *`--/ {
    # A bar inside a cell is written \| in Markdown: not a cell'"'"'s end.
    line = $0; gsub(/\\\|/, "\001", line); split(line, cell, "|")
    option = cell[2]; words = cell[3]
    gsub(/\001/, "|", option); gsub(/\001/, "|", words)
    gsub(/^ *`|` *$/, "", option); gsub(/^ +| +$/, "", words)
    print option "\t" words
  }' "$docs")

[ -n "$manual_options" ] || fail "$manual has no options in its OPTIONS section"
[ -n "$docs_options" ] || fail "$docs has no options table under \"## Command-line options\""

while IFS=$'\t' read -r option words; do
  grep -qxF -- "$option" <<<"$manual_options" ||
    fail "the manual page's OPTIONS lack \"$option\" (from kraylo --help)"
  grep -qxF -- "$option"$'\t'"$words" <<<"$docs_options" ||
    fail "docs/playing.md's options table lacks the row \"$option\" | \"$words\" (as kraylo --help has it)"
done <<<"$usage"

options=$(cut -f1 <<<"$usage")
while read -r option; do
  [ -z "$option" ] || grep -qxF -- "$option" <<<"$options" ||
    fail "the manual page's OPTIONS name \"$option\", which kraylo --help does not"
done <<<"$manual_options"
while IFS=$'\t' read -r option _; do
  [ -z "$option" ] || grep -qxF -- "$option" <<<"$options" ||
    fail "docs/playing.md's options table names \"$option\", which kraylo --help does not"
done <<<"$docs_options"

if [ $failures -gt 0 ]; then
  echo "$failures difference(s) between kraylo --help, $manual and $docs" >&2
  exit 1
fi
echo "PASS: the $(wc -l <<<"$usage") options of kraylo --help, the manual page and docs/playing.md agree"
