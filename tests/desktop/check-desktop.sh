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
