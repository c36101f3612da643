#!/usr/bin/env bash
# Builds the Debian packages (tools/package), unpacks them into a throw-away
# root (dpkg -x) and runs what they installed from there: torvane-cli on the
# sample survey (the same table as the build tree's) and on a GeoTIFF (GDAL
# loaded at first use, from the package's dependency), both manual pages
# through man, the window's --help and --version without a display, the Python module imported from the unpacked tree, and
# hardening-check on both programs. Called by tools/test when
# dpkg-buildpackage is installed.
# Usage: tests/package_test.sh BUILD_DIR (the build tree whose torvane-cli
# the packaged one is compared with).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1

tools/package
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for deb in build-deb/torvane_*.deb build-deb/python3-torvane_*.deb; do
  dpkg -x "$deb" "$root"
done

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cli=$root/usr/bin/torvane-cli
[[ $("$cli" --version) == "torvane-cli $(dpkg-parsechangelog -S Version)" ]] ||
  fail "torvane-cli --version: $("$cli" --version)"
# The window answers --help and --version without a display, as a man page
# or a packaging script asks them.
window_version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$root/usr/bin/torvane" --version 2>&1) ||
  fail "torvane --version without a display: $window_version"
[[ $window_version == "Torvane $(dpkg-parsechangelog -S Version)" ]] ||
  fail "torvane --version: $window_version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/torvane" --help |
  grep -q -- "--config" || fail "torvane --help without a display"
"$cli" --input data/sample_survey.dat --output "$root/packaged.dat" --radius 500 --band 100 --quiet
"$build/torvane-cli" --input data/sample_survey.dat --output "$root/built.dat" --radius 500 \
  --band 100 --quiet
cmp -s "$root/packaged.dat" "$root/built.dat" || fail "the packaged torvane-cli's table differs"
"$cli" convert data/sample_cba.grd "$root/cba.tif" --quiet || fail "packaged convert to GeoTIFF"

for page in torvane torvane-cli; do
  file=$root/usr/share/man/man1/$page.1.gz
  text=$(MANWIDTH=80 man --warnings -l "$file" 2>"$root/man.err") || fail "man -l $file"
  [[ -s $root/man.err ]] && fail "man --warnings $page: $(cat "$root/man.err")"
  grep -q "^NAME" <<<"$text" || fail "man -l $file shows no NAME section"
done

python_dir=$root/usr/lib/python3/dist-packages
grid=$PWD/data/sample_cba.grd
imported=$(cd "$root" && PYTHONPATH=$python_dir /usr/bin/python3 -c \
  'import sys, torvane; print(torvane.__file__); print(torvane.read_grid(sys.argv[1]).shape)' "$grid")
[[ $imported == "$python_dir/torvane/__init__.py"* ]] || fail "import torvane: $imported"
[[ -f $python_dir/torvane/py.typed ]] || fail "no py.typed marker"

depends=$(dpkg-deb -f build-deb/torvane_*.deb Depends)
[[ $depends == *libgdal* ]] || fail "torvane does not depend on GDAL: $depends"

# Control-flow protection is compiled in (-fcf-protection: endbr64 at every
# branch target), but bookworm's C start files carry no IBT/SHSTK note, so
# the linker marks no program of this release with it: not required here.
if command -v hardening-check >/dev/null; then
  hardening-check --nocfprotection "$root/usr/bin/torvane" "$root/usr/bin/torvane-cli" ||
    fail "hardening-check"
fi

((failures == 0))
