#!/usr/bin/env bash
# Builds the payload twice from the same sources and fails unless both
# builds give byte-identical files (the payload is committed as built).
#
# Usage: deterministic.sh WORKDIR
set -euo pipefail
work=$1
rm -rf "$work"
mkdir -p "$work"
here=$(dirname "${BASH_SOURCE[0]}")
bash "$here/../build.sh" "$work/first"
bash "$here/../build.sh" "$work/second" > /dev/null
diff -r "$work/first" "$work/second"
echo "both builds are byte-identical"
