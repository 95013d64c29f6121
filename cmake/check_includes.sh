#!/usr/bin/env bash
# Each folder of src/ includes only its own headers and those of the folders below it:
#   runtime/platform < runtime/core < runtime/arith < runtime/number < runtime/stream
#     < runtime/program
#   runtime/core, arith, number, stream < model < search < app
# and only the entry points (app/*main.cpp) use runtime/program. search/ computes and
# prints nothing: it reaches neither runtime/stream nor the I/O record (core/io_status.h).
# The error code list (runtime/platform/error_codes.h, plain numbers) sits with the
# platform, whose fault handling names the codes, and every floor may name them. Prints
# every include that runs upward and fails if there is one.
# Usage: check_includes.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

allowed() {  # the folders a file of folder $1 may include
  case "$1" in
    runtime/platform) echo "runtime/platform" ;;
    runtime/core) echo "runtime/platform runtime/core" ;;
    runtime/arith) echo "runtime/platform runtime/core runtime/arith" ;;
    runtime/number) echo "runtime/platform runtime/core runtime/arith runtime/number" ;;
    runtime/stream) echo "runtime/platform runtime/core runtime/arith runtime/number runtime/stream" ;;
    runtime/program)
      echo "runtime/platform runtime/core runtime/arith runtime/number runtime/stream runtime/program" ;;
    model) echo "runtime/core runtime/arith runtime/number runtime/stream model" ;;
    search) echo "runtime/core runtime/arith runtime/number model search" ;;
    app) echo "runtime/core runtime/arith runtime/number runtime/stream model search app" ;;
    *) echo "" ;;
  esac
}

folder_of() {  # runtime/<floor> or the top folder of a path under src/
  case "$1" in
    runtime/*) echo "$1" | cut -d/ -f1-2 ;;
    *) echo "$1" | cut -d/ -f1 ;;
  esac
}

upward=0
while IFS= read -r file; do
  path=${file#src/}
  from=$(folder_of "$path")
  permitted=" $(allowed "$from") "
  case "$path" in app/*main.cpp) permitted="$permitted runtime/program " ;; esac
  while IFS= read -r included; do
    [ "$included" = runtime/platform/error_codes.h ] && continue
    to=$(folder_of "$included")
    if [[ "$from" == search && "$included" == runtime/core/io_status.h ]]; then
      echo "$file includes $included: search/ prints nothing"
      upward=$((upward + 1))
    elif [[ "$permitted" != *" $to "* ]]; then
      echo "$file includes $included: $to is not below $from"
      upward=$((upward + 1))
    fi
  done < <(sed -n 's/^#include "\([a-z_]*\/[^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

if [ "$upward" -ne 0 ]; then
  echo "check_includes: $upward include(s) running upward"
  exit 1
fi
echo "check_includes: no include runs upward"
