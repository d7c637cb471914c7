#!/usr/bin/env bash
# Installs the package DEB on this machine with dpkg -i, builds the sample
# project of EXAMPLES with the installed grix-cli, runs the installed grix
# offscreen for a moment, removes the package with dpkg -r and checks that
# nothing of it is left in /usr. Needs root (or sudo).
#
#   install_check.sh DEB EXAMPLES WORKDIR
set -euo pipefail
deb=$(realpath "$1") examples=$2 work=$3
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
package=$(dpkg-deb -f "$deb" Package)
fail() { echo "install check: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/sample" "$work/home"
work=$(cd "$work" && pwd)
cp "$examples"/grix.ini "$examples"/*.bmp "$work/sample/"
# Whatever of ours is in /usr before (a developer's own cmake --install in
# /usr/local, say) is no business of the package's.
ours_in_usr() { find /usr -iname '*grix*' 2>/dev/null | sort; }
ours_in_usr >"$work/before"

removed=no
remove() {
  [ "$removed" = yes ] && return
  removed=yes
  $sudo dpkg -r "$package" >"$work/dpkg-r.log" 2>&1 || { cat "$work/dpkg-r.log" >&2; fail "dpkg -r $package failed"; }
}
trap remove EXIT
$sudo dpkg -i "$deb" >"$work/dpkg-i.log" 2>&1 || { cat "$work/dpkg-i.log" >&2; fail "dpkg -i failed"; }
dpkg -L "$package" >"$work/files"

# As a user would run them: from /usr/bin, with their own home. The
# installed programs must keep suites and settings in the per-user folder,
# even when run by root, who could write to /usr/bin.
export HOME="$work/home"
unset XDG_DATA_HOME
data="$HOME/.local/share/grix"
(cd "$work" && /usr/bin/grix-cli build --project sample/grix.ini) >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "the installed grix-cli did not build the sample"; }
for suite in "Grix sample.jar" "Grix sample.jad"; do
  [ -s "$data/midlets/$suite" ] || fail "the installed grix-cli did not write $data/midlets/$suite"
done
unzip -tq "$data/midlets/Grix sample.jar" >/dev/null || fail "the installed grix-cli wrote a broken JAR"

status=0
QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/grix --project "$work/sample/grix.ini" \
  >"$work/grix.log" 2>&1 || status=$?
[ "$status" -eq 124 ] ||
  { cat "$work/grix.log" >&2; fail "the installed grix ended within 3 seconds (status $status)"; }
version=$(QT_QPA_PLATFORM=offscreen /usr/bin/grix --version 2>/dev/null)
[ "$version" = "Grix $(dpkg-deb -f "$deb" Version)" ] || fail "grix --version says \"$version\""
man -w grix-cli >/dev/null || fail "man cannot find grix-cli(1)"

remove
ours_in_usr >"$work/after"
diff "$work/before" "$work/after" >/dev/null ||
  fail "left in /usr after dpkg -r: $(comm -13 "$work/before" "$work/after" | tr '\n' ' ')"
while IFS= read -r path; do
  [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is still there after dpkg -r"
done <"$work/files"
echo "install check: $package installed, built the sample into $data/midlets, ran, and left nothing in /usr"
