#!/usr/bin/env bash
# Checks the installed program as a user meets it:
#   scripts/check-install.sh [BUILD_DIR] [--system]
# Installs BUILD_DIR (default build/release) into a temporary prefix, checks
# the desktop entry, the AppStream metadata and the document type, makes the
# prefix read-only and, as an unprivileged user with a home of its own,
# exports a group to the surface library, saves a template and imports both
# back through the installed marlwick-cli; the prefix must not change and a
# data folder that cannot be written must give a clear message. Then it makes
# the Debian package with cpack and checks it with lintian; with --system it
# also installs the package with apt and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
system=0
for argument in "$@"; do
  case "$argument" in
    --system) system=1 ;;
    *) build=$argument ;;
  esac
done
build=$(cd "$build" && pwd)

work=$(mktemp -d /tmp/marlwick-install-XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
fail() { echo "check-install: $*" >&2; exit 1; }
step() { echo "check-install: $*"; }

step "installing into $prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/marlwick bin/marlwick-cli libexec/marlwick/bmp2avi share/marlwick/cross_sections.dat \
            share/marlwick/surface_library.dat share/marlwick/earth256.bmp share/marlwick/examples/spiral.mwk \
            share/applications/marlwick.desktop share/mime/packages/marlwick.xml \
            share/icons/hicolor/scalable/apps/marlwick.svg share/icons/hicolor/48x48/mimetypes/application-x-marlwick.png \
            share/man/man1/marlwick.1.gz share/man/man1/marlwick-cli.1.gz; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done

step "desktop entry, AppStream metadata and document type"
desktop-file-validate "$prefix/share/applications/marlwick.desktop"
appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml >/dev/null ||
  appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml
mime=$work/mime-check
mkdir -p "$mime"
cp -r "$prefix/share/mime" "$mime/"
update-mime-database "$mime/mime" >/dev/null 2>&1
cp examples/spiral.mwk "$work/track.mwk"
type=$(XDG_DATA_DIRS="$mime:/usr/share" xdg-mime query filetype "$work/track.mwk" 2>/dev/null | head -1)
[ "$type" = application/x-marlwick ] || fail "xdg-mime says $work/track.mwk is \"$type\""

step "the programs answer --version and --help without a display"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/marlwick" --version)
[ "$version" = "marlwick $("$prefix/bin/marlwick-cli" --version | cut -d' ' -f2)" ] || fail "versions: $version"
help=$("$prefix/bin/marlwick-cli" --help)
grep -q "^  simulate  " <<<"$help" || fail "marlwick-cli --help lists no simulate"

step "a read-only prefix and a user of its own"
chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %s %m\n' | sort && find . -type f -exec md5sum {} + | sort); }
before=$(listing)
home=$work/home
mkdir -p "$home"
# Root writes where it likes; the user runs the programs as nobody when it can.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
user() { env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$home" "$@"; }
cli() { user "${as_user[@]}" "$prefix/bin/marlwick-cli" "$@"; }

cat >"$home/export.json" <<'EOF'
{"steps": [
  {"op": "createChannel", "name": "ramp"},
  {"op": "createGroup", "name": "track"},
  {"op": "moveToGroup", "surface": "ramp", "to": "track"},
  {"op": "exportGroup", "group": "track"},
  {"op": "shape", "surface": "a", "sections": [3], "points": [[-2, 2], [-1, 0], [0, -1], [1, 0], [2, 2]],
   "saveAsTemplate": "Deep"}
]}
EOF
cat >"$home/import.json" <<'EOF'
{"steps": [
  {"op": "importGroup", "name": "track"},
  {"op": "shape", "surface": "a", "sections": [4], "template": "Deep"}
]}
EOF
chown -R nobody "$home" 2>/dev/null || true
cli build "$home/export.json" "$home/exported.mwk"
data=$home/.local/share/marlwick
[ -f "$data/surface_library.dat" ] && [ -f "$data/cross_sections.dat" ] || fail "no user data in $data"
[ "$(stat -c %s "$data/surface_library.dat")" -gt "$(stat -c %s "$prefix/share/marlwick/surface_library.dat")" ] ||
  fail "the group was not exported to $data/surface_library.dat"
cli build "$home/import.json" "$home/imported.mwk"
info=$(cli info "$home/imported.mwk")
grep -q '"track' <<<"$info" || fail "the group track was not imported"
[ "$(listing)" = "$before" ] || fail "the installed files changed"

step "a data folder that cannot be written"
mkdir -p "$work/locked"
chmod 555 "$work/locked"
set +e
message=$(user XDG_DATA_HOME="$work/locked" "${as_user[@]}" "$prefix/bin/marlwick-cli" build "$home/export.json" \
  "$home/locked.mwk" 2>&1)
code=$?
set -e
[ "$code" -ge 1 ] && [ "$code" -le 3 ] || fail "exit $code with an unwritable data folder: $message"
grep -q "$work/locked/marlwick" <<<"$message" || fail "the message names no data folder: $message"
echo "  $message"

step "the Debian package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
package=$(ls "$work"/deb/marlwick_*.deb)
grep -q libqt6 <<<"$(dpkg-deb --field "$package" Depends)" || fail "$package depends on no Qt library"
lintian --fail-on error "$package"
if [ "$system" -eq 1 ]; then
  step "apt install $package"
  apt-get install -y -q "$package" >/dev/null
  [ "$(xdg-mime query filetype "$work/track.mwk")" = application/x-marlwick ] || fail "xdg-mime after apt install"
  marlwick-cli --version
  apt-get remove -y -q marlwick >/dev/null
fi
step "passed"
