#!/usr/bin/env bash
# Validates the desktop integration installed by `cmake --install` with the freedesktop tools:
# the menu entry, the AppStream metadata, and the project file type, which must make a
# .glimmer file a Glimmerdock project that the menu entry opens.
# Usage: check-desktop.sh BUILD
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
desktop-file-validate "$share/applications/example.kestrelby.Glimmerdock.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/example.kestrelby.Glimmerdock.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$share/metainfo/example.kestrelby.Glimmerdock.metainfo.xml"
update-mime-database "$share/mime"
grep -qx '50:application/x-glimmerdock-project:\*.glimmer' "$share/mime/globs2" ||
    { echo "FAIL: *.glimmer is not a Glimmerdock project"; exit 1; }
grep -q '^MimeType=application/x-glimmerdock-project;$' \
    "$share/applications/example.kestrelby.Glimmerdock.desktop"
grep -q '^Exec=glimmerdock %f$' "$share/applications/example.kestrelby.Glimmerdock.desktop"
echo "PASS: desktop entry, AppStream metadata and project file type"

# The exported icon theme is one GTK's cache tool accepts as written.
themes=$prefix/themes
"$build/glimmerdock" render "$(dirname "$0")/../../resources/icons/glimmerdock-64.png" --hicolor "$themes"
gtk-update-icon-cache --force "$themes/hicolor"
# Its folders are the theme's standard sizes, each picture at its folder's size.
sizes=$(cd "$themes/hicolor" && for png in */apps/glimmerdock-64.png; do
    identify -format '%wx%h=' "$png" && dirname "$(dirname "$png")"; done | sort -n | tr '\n' ' ')
[ "$sizes" = "16x16=16x16 24x24=24x24 32x32=32x32 48x48=48x48 64x64=64x64 128x128=128x128 \
256x256=256x256 512x512=512x512 " ] || { echo "FAIL: the theme's pictures are $sizes"; exit 1; }
echo "PASS: an exported icon theme takes GTK's icon cache, every picture at its folder's size"

# The Debian package of the install: lintian finds no error in it.
# Compressed quickly: what lintian checks is the same in any compression.
(cd "$build" && cpack -B "$prefix/package" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >/dev/null)
deb=$(ls "$prefix"/package/glimmerdock_*.deb)
dpkg-deb --contents "$deb" | grep -q './usr/share/mime/packages/example.kestrelby.Glimmerdock.xml'
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"
echo "PASS: the Debian package has no lintian errors"
