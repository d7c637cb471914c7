#!/usr/bin/env bash
# Builds a release of Grix and writes the Debian package
# OUTDIR/grix_<version>_<arch>.deb: grix and grix-cli in /usr/bin, the
# desktop entry, icons, AppStream metainfo and manual pages. Install it with
#     sudo apt install ./OUTDIR/grix_*.deb
# Its dependencies are what dpkg-shlibdeps finds the programs linked against.
#
# Usage: bash scripts/package.sh OUTDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: bash scripts/package.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$root"
bash scripts/setup.sh
for tool in dpkg-shlibdeps dpkg-buildflags rsvg-convert gzip; do
  command -v "$tool" >/dev/null || {
    echo "package.sh needs $tool (Debian packages dpkg-dev, librsvg2-bin, gzip)" >&2
    exit 1
  }
done

# The version is the project's; the changelog and metainfo must have an
# entry for it, or the package would describe another release.
version=$(sed -n 's/^project(Grix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -SVersion)
metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' app/example.tarnfield.grix.metainfo.xml | head -n 1)
for said in "packaging/changelog:$changelog_version" "app/example.tarnfield.grix.metainfo.xml:$metainfo_version"; do
  [ "${said#*:}" = "$version" ] || {
    echo "${said%%:*} has no entry for version $version at its top (it names ${said#*:})" >&2
    exit 1
  }
done
# Dates inside the package (manual pages) come from the release, not the clock.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -STimestamp)
export SOURCE_DATE_EPOCH

# Debian's own compiler and linker flags (hardening included), with paths
# inside the binaries relative to the source tree.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cxxflags=${cxxflags//-ffile-prefix-map=$root=./}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # One cache for every clone: paths are relative and folded out of the hash.
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi

build=build/package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DGRIX_BUILD_APP=ON -DGRIX_BUILD_TESTS=OFF -DGRIX_BUILD_BENCH=OFF -DGRIX_FUZZ=OFF \
  -DGRIX_SANITIZE=OFF -DGRIX_WERROR=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$cxxflags -ffile-prefix-map=$root=." \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/cpack"
(cd "$build" && cpack -G DEB -B "$root/$build/cpack" >cpack.log 2>&1) || {
  cat "$build/cpack.log" >&2
  echo "cpack could not make the package" >&2
  exit 1
}

arch=$(dpkg --print-architecture)
deb="$build/cpack/grix_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "cpack made no $deb" >&2; ls "$build/cpack" >&2; exit 1; }
cp "$deb" "$out/"
echo "Wrote $out/$(basename "$deb")"
