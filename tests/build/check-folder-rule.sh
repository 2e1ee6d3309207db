#!/usr/bin/env bash
# The folder rule is kept by the build: in a scratch copy of the project whose includes were
# checked, a forbidden include added to a product file, in any spelling and in any kind of file
# (platform files, headers, files of no build on this system), fails the next build of its folder's
# check, naming the file; the file put back builds again. Every library's compilation waits for
# its folder's check.
# Usage: check-folder-rule.sh SOURCE_DIR
set -euo pipefail
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/src"
tar -C "$source" --exclude='./build*' --exclude=./.git --exclude=./.test-home -cf - . |
    tar -C "$scratch/src" -xf -
cmake -S "$scratch/src" -B "$scratch/build" -G Ninja -DGLIMMERDOCK_BENCHMARKS=OFF >/dev/null
folders=(trace settings picture document render output canvas form cli app)
checks() { printf 'glimmerdock_%s_includes\n' "${folders[@]}"; }
cmake --build "$scratch/build" --target $(checks) >/dev/null

failures=0
for folder in "${folders[@]}"; do
    inputs=$(ninja -C "$scratch/build" -t query "cmake_object_order_depends_target_glimmerdock_$folder")
    if ! grep -q "|| $folder/glimmerdock_${folder}_includes$" <<<"$inputs"; then
        echo "FAIL: $folder/ compiles without waiting for its include check"
        failures=$((failures + 1))
    fi
done

# Each row: the file, then the line added to it.
while IFS='|' read -r file line; do
    copy=$scratch/src/$file
    cp "$copy" "$scratch/kept"
    printf '%s\n' "$line" >>"$copy"
    folder=${file%%/*}
    if output=$(cmake --build "$scratch/build" --target "glimmerdock_${folder}_includes" 2>&1); then
        echo "FAIL: $file with '$line' builds"
        failures=$((failures + 1))
    elif ! grep -qF "$file: '${line#"${line%%[! ]*}"}'" <<<"$output"; then
        echo "FAIL: $file with '$line' fails without naming the include: $output"
        failures=$((failures + 1))
    fi
    cp "$scratch/kept" "$copy"
    cmake --build "$scratch/build" --target "glimmerdock_${folder}_includes" >/dev/null ||
        { echo "FAIL: $file put back does not build"; failures=$((failures + 1)); }
done <<'ROWS'
render/badgetext.cpp|#include <form/editorform.h>
render/badgetext.h|# include "canvas/canvaswidget.h"
document/layer.cpp|    #include "output/exporttarget.h"
picture/svgsize.cpp|#include "../render/iconrenderer.h"
trace/trace.cpp|#include"picture/pictureintake.h"
settings/storedsettings.cpp|#include "document/document.h"
cli/terminal_posix.cpp|#include "form/editorform.h"
app/shellopen_win.cpp|#include "tests/support/testsupport.h"
output/icotarget.cpp|#include "support/testsupport.h"
canvas/canvasrules.cpp|#include "bench/benchdocument.h"
form/folderbrowser_portable.cpp|#  include <fuzz/fuzzing.h>
ROWS
if [ $failures -ne 0 ]; then
    exit 1
fi
echo "PASS: every forbidden include fails its folder's build, in every spelling and file"
