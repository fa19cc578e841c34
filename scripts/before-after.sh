#!/usr/bin/env bash
# Pictures of the windows before and after a change of look, side by side.
#
#   scripts/before-after.sh [BUILD_DIR] [BEFORE_COMMIT] [COUNT]
#
# BUILD_DIR (default build-test) is today's test build, whose screens/ holds the window walk's
# pictures (run `ctest -R editor_windowwalk` there first). The older commit (default 2319ec0) is
# checked out in a separate worktree beside this one, given today's window walk (the test, its
# layout checks and its screen) so that both sides show the same windows at the same sizes, built
# and walked; its failures are expected and ignored, only its pictures are used. The COUNT
# (default 10) English windows whose pictures differ most are written to
# BUILD_DIR/screens/before_after/NN_name_before.png, NN_name_after.png and NN_name.png (both side
# by side). The worktree is removed at the end unless KEEP_BEFORE=1.
#
# Needs git, cmake, ninja and ImageMagick (compare, montage). Builds with -j4 through ccache.
set -euo pipefail

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
build=$(realpath -m "${1:-$repo/build-test}")
commit=${2:-2319ec0}
count=${3:-10}
tree=${BEFORE_TREE:-$repo-before}
screens=$build/screens
out=$screens/before_after

[ -d "$screens" ] || { echo "no $screens: build and run the window walk first" >&2; exit 1; }
ls "$screens"/walk_EN_*.png >/dev/null 2>&1 || { echo "no walk pictures in $screens" >&2; exit 1; }

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_DIR=${CCACHE_DIR:-/work/.ccache} CCACHE_NOHASHDIR=1

created=0
if [ ! -d "$tree" ]; then
    git -C "$repo" worktree add --detach "$tree" "$commit"
    created=1
fi
cleanup() {
    if [ "$created" = 1 ] && [ "${KEEP_BEFORE:-0}" != 1 ]; then
        git -C "$repo" worktree remove --force "$tree"
    fi
}
trap cleanup EXIT

# Today's walk in the older tree.
cp "$repo/tests/editor/test_windowwalk.cpp" "$repo/tests/editor/LayoutCheck.h" \
   "$repo/tests/editor/walk_screen.json" "$tree/tests/editor/"
if ! grep -q TOVRA_WALK_SCREEN "$tree/tests/editor/CMakeLists.txt"; then
    printf '\ntarget_compile_definitions(editor_windowwalk PRIVATE\n  TOVRA_WALK_SCREEN="${CMAKE_CURRENT_SOURCE_DIR}/walk_screen.json")\n' \
        >> "$tree/tests/editor/CMakeLists.txt"
fi
# What the older tree does not have yet is left out of the walk: the check of the painted tab
# titles.
if ! grep -q shownTitle "$tree/editor/TabViewUI.h"; then
    sed -i 's/strip->shownTitle(tab)/strip->titles().value(tab)/' "$tree/tests/editor/test_windowwalk.cpp"
fi

cmake -S "$tree" -B "$tree/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS=-O1 \
    -DCMAKE_CXX_FLAGS=-O1 "-DTOVRA_SANITIZE=address;undefined" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$tree/build-test" -j4 --target editor_windowwalk
rm -f "$tree/build-test/screens"/walk_*.png
(cd "$tree/build-test" && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS=detect_leaks=0 ./tests/editor/editor_windowwalk --gtest_filter='*EN*' >/dev/null 2>&1) || true
before=$tree/build-test/screens

# How much each English window changed: the root-mean-square difference of the older picture
# brought to today's size.
mkdir -p "$out"
rm -f "$out"/*.png
scores=$(mktemp)
for after in "$screens"/walk_EN_*.png; do
    name=$(basename "$after" .png)
    [ -f "$before/$name.png" ] || continue
    size=$(identify -format '%wx%h' "$after")
    score=$(convert "$before/$name.png" -resize "$size!" "$after" -compose difference -composite \
            -colorspace gray -format '%[fx:mean]' info: 2>/dev/null || echo 0)
    echo "$score $name" >> "$scores"
done
# One picture per window (each page of the main window counts as one), at the size and page
# where it changed most.
font=$(fc-match -f '%{file}' sans 2>/dev/null || true)
n=0
sort -rg "$scores" | while read -r score name; do
    base=${name/_small/}
    case $base in walk_EN_main_*) ;; *) base=${base%_*} ;; esac
    grep -qx "$base" "$out/.chosen" 2>/dev/null && continue
    echo "$base" >> "$out/.chosen"
    n=$((n + 1))
    tag=$(printf '%02d_%s' "$n" "${name#walk_EN_}")
    cp "$before/$name.png" "$out/${tag}_before.png"
    cp "$screens/$name.png" "$out/${tag}_after.png"
    montage -label before "$out/${tag}_before.png" -label after "$out/${tag}_after.png" \
        -tile 2x1 -geometry +12+12 -background '#1f2125' -fill '#e6e8eb' -pointsize 16 \
        ${font:+-font "$font"} "$out/$tag.png"
    echo "$tag: difference $score"
    [ "$n" -ge "$count" ] && break
done
rm -f "$scores" "$out/.chosen"
echo "pictures in $out"
