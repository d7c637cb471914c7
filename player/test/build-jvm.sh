#!/usr/bin/env bash
# Compiles the player with the desktop stand-ins of the phone classes, the
# class checker and the tests for the JVM: OUT/jvm (classes and pictures on
# one class path) and OUT/stubs.jar (the API stubs the checker tests use).
#
# Usage: build-jvm.sh OUT JUNIT_JAR HAMCREST_JAR
set -euo pipefail
out=$1
source "$(dirname "${BASH_SOURCE[0]}")/../toolchain.sh"
rm -rf "$out/jvm" "$out/stubs"
build_stubs "$out"
mkdir -p "$out/jvm"
(cd "$player_dir" && find jvmfake src tools test -name '*.java' | LC_ALL=C sort) > "$out/jvm.list"
(cd "$player_dir" && ecj -source 11 -target 11 -proc:none -nowarn -encoding UTF-8 -cp "$2:$3" \
  -d "$out/jvm" @"$out/jvm.list")
cp "$player_dir"/res/*.png "$out/jvm/"
