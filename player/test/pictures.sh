#!/usr/bin/env bash
# Fails unless the committed pictures are exactly what the drawing script makes.
#
# Usage: pictures.sh WORKDIR
set -euo pipefail
work=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rm -rf "$work"
python3 "$here/art/make_pictures.py" "$work"
diff -r "$work" "$here/res"
echo "the pictures match their script"
