#!/usr/bin/env bash
# Prints the Python interpreter that tests and scripts needing Pillow use:
# the first python3 on PATH that can import PIL, else Debian's
# /usr/bin/python3 (where python3-pil installs it). A private Python from a
# version manager often comes first on PATH without Pillow, while Debian's
# has it. Exits 1, still printing /usr/bin/python3, when no interpreter has
# Pillow, so that callers can say what is missing.
set -uo pipefail
IFS=: read -r -a dirs <<<"${PATH:-}"
for dir in "${dirs[@]}"; do
  candidate="${dir:-.}/python3"
  if [ -x "$candidate" ] && "$candidate" -c 'import PIL' >/dev/null 2>&1; then
    echo "$candidate"
    exit 0
  fi
done
echo /usr/bin/python3
/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1
