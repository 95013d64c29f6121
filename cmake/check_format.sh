#!/usr/bin/env bash
# Every C++ source of the tree as .clang-format lays it out. Prints the files that
# differ and fails if there is one. Usage: check_format.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
  echo "check_format: clang-format is missing (apt-get install clang-format)"
  exit 1
fi
differ=0
while IFS= read -r file; do
  if ! "$format" --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file"
    differ=$((differ + 1))
  fi
done < <(git ls-files '*.h' '*.cpp')
if [ "$differ" -ne 0 ]; then
  echo "check_format: $differ file(s) differ from .clang-format (clang-format -i them)"
  exit 1
fi
echo "check_format: every file as .clang-format lays it out"
