# Shared steps of the player's build, sourced by build.sh and check.sh.
# Needs: ecj, java, python3. No network.

player_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Writes a JAR of a folder's files in sorted order with a fixed date, so the
# same input always gives the same bytes (jar(1) takes the file system's order).
make_jar() {
  python3 - "$1" "$2" <<'PY'
import os, sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
names = sorted(os.path.relpath(os.path.join(d, f), src).replace(os.sep, '/')
               for d, _, files in os.walk(src) for f in files)
with zipfile.ZipFile(dst, 'w', zipfile.ZIP_DEFLATED) as z:
    for n in names:
        info = zipfile.ZipInfo(n, (2000, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(os.path.join(src, n), 'rb') as f:
            z.writestr(info, f.read())
PY
}

# The signatures-only CLDC/MIDP library: WORK/stubs.jar.
build_stubs() {
  local work=$1
  mkdir -p "$work/stubs" "$work/empty"
  # The MIDP and Nokia classes are written once, as the desktop stand-ins;
  # their API is cut out of those. java.* has no stand-in and lives in stubs/.
  rm -rf "$work/stubs-src"
  python3 "$player_dir/tools/make_stubs.py" "$player_dir/jvmfake" "$work/stubs-src" \
    || { echo "build: the API stubs can not be made from jvmfake/" >&2; return 1; }
  { find "$player_dir/stubs" "$work/stubs-src" -name '*.java' | LC_ALL=C sort; } > "$work/stubs.list"
  # The empty boot class path keeps ecj off the JDK's own java.lang.
  ecj -source 1.3 -target 1.1 -g:none -nowarn -bootclasspath "$work/empty" \
    -d "$work/stubs" @"$work/stubs.list" || { echo "build: the API stubs do not compile" >&2; return 1; }
  make_jar "$work/stubs" "$work/stubs.jar"
}

# The class-file checker, compiled for the desktop JVM: WORK/tools.
build_checker() {
  local work=$1
  mkdir -p "$work/tools"
  ecj -source 11 -target 11 -proc:none -nowarn -d "$work/tools" "$player_dir/tools/ClassCheck.java" \
    "$player_dir/tools/ClassFile.java" \
    || { echo "build: the class checker does not compile" >&2; return 1; }
}

# ClassCheck STUBS CLASSDIR: fails with its findings listed.
run_checker() {
  local work=$1 classes=$2
  java -cp "$work/tools" ClassCheck "$work/stubs.jar" "$classes" \
    || { echo "build: the player's class files are not fit for a CLDC-1.0 phone" >&2; return 1; }
}
