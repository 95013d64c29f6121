#!/usr/bin/env bash
# Runs the example commands of a Markdown page as a reader would, from a fresh clone, and
# compares what they print with what the page shows. An example is an indented block
# whose lines start with "$ ": the command (with the lines that complete it, such as a
# loop's body), then its standard output up to the next "$ " or the end of the block.
#
# - A line "..." in the output stands for any number of lines.
# - A line "Input ...:answer" is a prompt with the answer typed after it: the answer is
#   the command's input, and the prompt is output without a line end. One empty line
#   follows the answers, for the final ENTER.
# - A hidden comment <!-- check-readme: mask REGEX --> before a block makes every match of
#   the extended regular expression count as equal there (figures that differ from run to
#   run, addresses that differ from build to build).
#
# Line ends (CR LF or LF) and blanks at the ends of lines do not count. Each command must
# end with status 0. It runs in a new directory holding a copy of examples/ and the built
# programs under build/, as `make run` leaves them.
#
#   cmake/check_readme.sh README.md build .
set -euo pipefail
page=$1
programs=$(cd "$2" && pwd)
sources=$(cd "$3" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/clone" "$work/clone/build"
cp -R "$sources/examples" "$work/clone/examples"
for program in allocate allocate-optimum; do
  ln -s "$programs/$program" "$work/clone/build/$program"
done

# Lines as a reader sees them: CR and trailing blanks gone, the mask applied, and a
# line end after the last line.
normalise() {
  local mask=$1
  if [ -n "$mask" ]; then
    awk '{ sub(/[ \t\r]+$/, ""); print }' | sed -E "s"$'\x01'"$mask"$'\x01#\x01g'
  else
    awk '{ sub(/[ \t\r]+$/, ""); print }'
  fi
}

# Whether the actual lines match the expected ones, "..." standing for any lines.
matches() {
  awk '
    FNR == NR { expected[++e] = $0; next }
    { actual[++a] = $0 }
    END {
      i = 1; j = 1; star = 0
      # Each run of lines between two "..." is found in order, as early as it fits.
      while (i <= e) {
        if (expected[i] == "...") { star = 1; i++; continue }
        n = 0
        while (i + n <= e && expected[i + n] != "...") n++
        found = 0
        for (k = j; k + n - 1 <= a; k++) {
          same = 1
          for (m = 0; m < n; m++) if (actual[k + m] != expected[i + m]) { same = 0; break }
          last = (i + n > e)
          if (same && (!last || k + n - 1 == a)) { found = 1; break }
          if (!star) break
        }
        if (!found) exit 1
        j = k + n; i += n; star = 0
      }
      exit (star || j > a) ? 0 : 1
    }' "$1" "$2"
}

failures=0
examples=0
run_example() {
  local command=$1 expected=$2 input=$3 mask=$4
  examples=$((examples + 1))
  local status=0
  (cd "$work/clone" && bash -c "$command") <"$input" >"$work/stdout" 2>"$work/stderr" ||
    status=$?
  normalise "$mask" <"$work/stdout" >"$work/actual"
  normalise "$mask" <"$expected" >"$work/wanted"
  if [ "$status" != 0 ] || ! matches "$work/wanted" "$work/actual"; then
    failures=$((failures + 1))
    echo "check-readme: $page: this example does not give what the page shows:"
    echo "$command" | sed 's/^/    $ /'
    echo "  exit status $status; standard error:"
    sed 's/^/    /' "$work/stderr"
    diff -a -u --label shown --label printed "$work/wanted" "$work/actual" | sed 's/^/  /' || true
  fi
}

# Walks the page: a mask comment, then indented blocks; an example ends where the next
# one starts or the block does.
mask=""
command=""
in_block=0
: >"$work/expected"
: >"$work/input"
finish() {
  if [ -n "$command" ]; then
    echo >>"$work/input"
    run_example "$command" "$work/expected" "$work/input" "$mask"
  fi
  command=""
  : >"$work/expected"
  : >"$work/input"
}
# A command goes on until the shell takes it as complete (a line ending in a backslash
# goes on too).
complete() {
  [[ $1 != *\\ ]] && bash -n <<<"$1" 2>/dev/null
}
pending=""
blanks=0
while IFS= read -r line || [ -n "$line" ]; do
  if [ -n "$pending" ]; then
    pending+=$'\n'"${line#    }"
    if complete "$pending"; then
      command=$pending
      pending=""
    fi
    continue
  fi
  if [[ $line =~ ^\<!--\ check-readme:\ mask\ (.*)\ --\>$ ]]; then
    finish
    in_block=0
    blanks=0
    mask=${BASH_REMATCH[1]}
    continue
  fi
  if [[ $line == "    "* ]]; then
    in_block=1
    text=${line#    }
    # Blank lines inside a block belong to the output shown.
    if [ -n "$command" ]; then
      for ((; blanks > 0; blanks--)); do echo >>"$work/expected"; done
    fi
    blanks=0
    if [[ $text == '$ '* ]]; then
      finish
      pending=${text#\$ }
      if complete "$pending"; then
        command=$pending
        pending=""
      fi
    elif [ -n "$command" ]; then
      if [[ $text =~ ^(Input [^:]*:)(.+)$ ]]; then
        printf '%s' "${BASH_REMATCH[1]}" >>"$work/expected"
        printf '%s\n' "${BASH_REMATCH[2]}" >>"$work/input"
      else
        printf '%s\n' "$text" >>"$work/expected"
      fi
    fi
  elif [ -z "$line" ] && [ "$in_block" = 1 ]; then
    blanks=$((blanks + 1))
  else
    blanks=0
    finish
    if [ "$in_block" = 1 ]; then mask=""; fi
    in_block=0
  fi
done <"$page"
if [ -n "$pending" ]; then
  echo "check-readme: $page: a command is never complete: $pending"
  exit 1
fi
finish

if [ "$examples" = 0 ]; then
  echo "check-readme: $page: no example found"
  exit 1
fi
echo "check-readme: $page: $((examples - failures)) of $examples examples as shown"
[ "$failures" = 0 ]
