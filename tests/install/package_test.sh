#!/usr/bin/env bash
# The Debian package as a user gets it: packs BUILD_DIR (already built and tested), unpacks the
# package into a temporary root and runs the installed programs from there: orvex-cli converts
# a generated clip, orvex-dvd-cli lists a dvdauthor disc, the window starts offscreen with its
# skin from share/orvex (and names the missing file and the remedy once it is gone). Checks
# the desktop entries, the AppStream data, the manual pages against --help, and lintian.
#   tests/install/package_test.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "package test: FAILED: $*" >&2; failures=$((failures + 1)); }
step() { echo "package test: $*" >&2; }

version="$(sed -n 's/^project(Orvex VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
deb="$("$root/scripts/package" --from "$build" "$work" | tail -1)"
[ "$(basename "$deb")" = "orvex_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"
depends="$(dpkg-deb -f "$deb" Depends)"
step "Depends: $depends"
for dep in ffmpeg libqt6widgets6 libdvdread8 libmpv2; do
  grep -q "\b$dep\b" <<<"$depends" || fail "Depends lacks $dep"
done

dpkg -x "$deb" "$work/root"
usr="$work/root/usr"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
unset ORVEX_FFMPEG

step "versions"
for program in orvex orvex-dvd orvex-cli orvex-dvd-cli; do
  [ "$("$usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done
for file in lib/orvex/register.dat lib/orvex/orvex-preview.so share/orvex/profiles.pop \
  share/orvex/skn.skn share/orvex/images/main/1.bmp share/applications/io.orvex.Converter.desktop \
  share/icons/hicolor/scalable/apps/io.orvex.Converter.svg \
  share/icons/hicolor/48x48/apps/io.orvex.DvdConverter.png share/man/man1/orvex-cli.1.gz \
  share/metainfo/io.orvex.Converter.metainfo.xml share/doc/orvex/copyright; do
  [ -e "$usr/$file" ] || fail "missing $file"
done
if ldd "$usr/lib/orvex/orvex-preview.so" "$usr/bin/orvex" "$usr/lib/orvex/register.dat" |
  grep -q 'not found'; then
  fail "a library of the installed programs is not found"
fi

step "orvex-cli converts a clip"
ffmpeg -nostdin -v error -f lavfi -i testsrc=duration=1:size=320x240:rate=25 \
  -f lavfi -i sine=duration=1 -shortest "$work/clip.avi"
if "$usr/bin/orvex-cli" -q -p 118 -o "$work/out" "$work/clip.avi" >"$work/cli.log" 2>&1; then
  ffmpeg -nostdin -v error -i "$work/out/clip.mp4" -f null - || fail "the output is no video"
else
  fail "orvex-cli: $(tail -3 "$work/cli.log")"
fi

step "orvex-dvd-cli lists a dvdauthor disc"
# Titles under 2 MB yield no row: moving noise keeps the encoder near its 6 Mbit/s.
ffmpeg -nostdin -v error -f lavfi -i testsrc=duration=4:rate=25:size=720x576 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=4 -vf noise=alls=30:allf=t \
  -target pal-dvd -b:v 6000k -b:a 128k -ac 2 "$work/t1.mpg"
cat >"$work/disc.xml" <<XML
<dvdauthor dest="$work/disc"><vmgm/><titleset><titles><video format="pal"/>
<pgc><vob file="$work/t1.mpg"/></pgc></titles></titleset></dvdauthor>
XML
VIDEO_FORMAT=PAL dvdauthor -x "$work/disc.xml" >/dev/null 2>&1 || fail "dvdauthor"
jobs="$("$usr/bin/orvex-dvd-cli" --list-jobs "$work/disc" 2>&1)" || fail "orvex-dvd-cli: $jobs"
grep -q 'Title_01' <<<"$jobs" || fail "no title listed: $jobs"

step "the window starts with its skin from share/orvex"
shown="$(ORVEX_QUIT_WHEN_SHOWN=1 timeout 60 "$usr/bin/orvex" 2>/dev/null)" || fail "orvex: $shown"
grep -qx "skin: $usr/share/orvex/skn.skn" <<<"$shown" || fail "skin: $shown"
rm "$usr/share/orvex/skn.skn"
shown="$(ORVEX_QUIT_WHEN_SHOWN=1 timeout 60 "$usr/bin/orvex" 2>/dev/null)" || fail "orvex: $shown"
[ "$(grep -c "message: .*$usr/share/orvex/skn.skn.*Reinstall Orvex" <<<"$shown")" = 1 ] ||
  fail "a missing skin is not said once with the remedy: $shown"

step "desktop entries, AppStream data, manual pages"
desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/io.orvex.Converter.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
mimes="$(sed -n 's/^MimeType=//p' "$usr/share/applications/io.orvex.Converter.desktop")"
# "Open with Orvex" for every extension Add Folder takes, by the desktop's own MIME database.
for ext in avi mpg vob mpeg 3gp mp4 flv rm m4v rmvb wmv asf qt asx; do
  type="$(awk -v glob="<glob pattern=\"*.$ext\"" '
    /<mime-type type=/ { match($0, /type="[^"]*"/); type = substr($0, RSTART + 6, RLENGTH - 7) }
    index($0, glob) { print type; exit }' /usr/share/mime/packages/freedesktop.org.xml)"
  [[ ";$mimes" == *";$type;"* ]] || fail "MimeType lacks $type (.$ext)"
done
options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
manual() { zcat "$usr/share/man/man1/$1.1.gz" | sed 's/\\-/-/g' | options; }
for page in orvex orvex-cli; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "man $page: $warnings"
  [ "$("$usr/bin/$page" --help | options)" = "$(manual "$page")" ] ||
    fail "$page(1) and $page --help name different options"
done
warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/orvex-dvd-cli.1.gz" 2>&1 >/dev/null)"
[ -z "$warnings" ] || fail "man orvex-dvd-cli: $warnings"
[ -z "$(comm -13 <("$usr/bin/orvex-dvd-cli" --help | options) <(manual orvex-dvd-cli))" ] ||
  fail "orvex-dvd-cli(1) names options --help does not"
[ -z "$(comm -23 <("$usr/bin/orvex-dvd-cli" --help | options) \
  <(sort -u <(manual orvex-cli) <(manual orvex-dvd-cli)))" ] ||
  fail "options of orvex-dvd-cli --help are in neither manual page"

step "lintian"
if command -v lintian >/dev/null; then
  lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
  grep '^W:' "$work/lintian.log" >&2 || true
  if grep -q '^E:' "$work/lintian.log"; then
    fail "lintian errors: $(grep '^E:' "$work/lintian.log")"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
step "passed"
