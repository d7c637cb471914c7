#!/usr/bin/env bash
# Rebuilds the player from player/ and refreshes the embedded payload
# (payload/imp/*.imp) from it, through grix-cli's byte-array export.
# Usage: scripts/update-payload.sh GRIX_CLI   (or --check GRIX_CLI WORKDIR)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=0
if [ "${1:-}" = "--check" ]; then check=1; shift; fi
cli=${1:?usage: update-payload.sh [--check] GRIX_CLI [WORKDIR]}
work=${2:-$(mktemp -d)}
mkdir -p "$work"
out="$work/player-files"
rm -rf "$out"
mkdir -p "$out"
bash "$root/player/build.sh" "$out" >"$work/player-build.log" 2>&1 || {
  cat "$work/player-build.log" >&2
  echo "The player did not build." >&2
  exit 1
}

mapfile -t files <"$root/payload/files.txt"
status=0
for f in "${files[@]}"; do
  "$cli" hex "$out/$f"
  if [ $check -eq 1 ]; then
    if ! cmp -s "$out/$f.imp" "$root/payload/imp/$f.imp"; then
      echo "payload/imp/$f.imp is not what the player's source builds to" >&2
      status=1
    fi
  else
    cp "$out/$f.imp" "$root/payload/imp/$f.imp"
  fi
done
if [ $check -eq 1 ] && [ $status -ne 0 ]; then
  echo "Run scripts/update-payload.sh <grix-cli> and commit payload/imp." >&2
fi
exit $status
