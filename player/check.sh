#!/usr/bin/env bash
# Checks a folder of player class files (for example the payload unpacked)
# against what a MIDP-1.0 / CLDC-1.0 phone accepts; exit 1 with the findings.
#
# Usage: player/check.sh CLASSDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: check.sh CLASSDIR" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/toolchain.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build_stubs "$work"
build_checker "$work"
run_checker "$work" "$1"
