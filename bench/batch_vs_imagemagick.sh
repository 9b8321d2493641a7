#!/bin/sh
# Watermarks a folder of large JPEG files with `tessary-cli batch` and with ImageMagick's
# `composite` in a shell loop, and prints files per second and peak memory of each side by side.
#
#   bench/batch_vs_imagemagick.sh BUILD_DIR [COUNT] [WORK_DIR]
#
# COUNT files of 4000 x 3000 (default 50) are made once in WORK_DIR/in (default a fresh
# temporary folder); the watermark is a 600 x 200 image merged half and half (Average) at the
# lower right corner by both tools. ImageMagick is a comparison tool only, never a dependency.
set -eu

build=${1:?usage: $0 BUILD_DIR [COUNT] [WORK_DIR]}
count=${2:-50}
work=${3:-$(mktemp -d)}
cli=$(cd "$build" && pwd)/tessary-cli
command -v composite >/dev/null || { echo "ImageMagick (composite) is not installed" >&2; exit 1; }

mkdir -p "$work/in"
if [ ! -f "$work/in/img_001.jpg" ]; then
    convert -size 1000x750 -seed 7 plasma:fractal -resize '4000x3000!' -quality 90 "$work/base.jpg"
    i=1
    while [ "$i" -le "$count" ]; do
        cp "$work/base.jpg" "$work/in/$(printf 'img_%03d.jpg' "$i")"
        i=$((i + 1))
    done
fi
convert -size 600x200 gradient:white-yellow "$work/mark.png"
printf '{"sources": [{"file": "mark.png"}], "mergeType": "average"}\n' > "$work/layout.json"

# Wall seconds, CPU seconds (user + system) and peak resident kilobytes of a command, children
# included. On a shared machine the CPU seconds are the steadier figure.
measure() {
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
    awk '{ print $1, $2 + $3, $4 }' "$work/time.txt"
}

rm -rf "$work/out_tessary" "$work/out_magick"
mkdir -p "$work/out_magick"
set -- $(measure "$cli" batch "$work/layout.json" "$work/in" -o "$work/out_tessary" --position right,bottom --quiet)
t_sec=$1 t_cpu=$2 t_kb=$3
set -- $(measure sh -c 'for f in "$1"/in/*.jpg; do
    composite -dissolve 50 -gravity southeast "$1/mark.png" "$f" "$1/out_magick/${f##*/}" || exit 1
done' sh "$work")
m_sec=$1 m_cpu=$2 m_kb=$3

written=$(ls "$work/out_tessary" | wc -l)
awk -v n="$count" -v w="$written" -v ts="$t_sec" -v tc="$t_cpu" -v tk="$t_kb" \
    -v ms="$m_sec" -v mc="$m_cpu" -v mk="$m_kb" 'BEGIN {
    printf "%d files of 4000 x 3000 JPEG (%d written by tessary-cli)\n", n, w
    printf "%-28s %9s %9s %12s %12s\n", "tool", "wall s", "CPU s", "files/wall s", "peak MiB"
    printf "%-28s %9.1f %9.1f %12.2f %12.0f\n", "tessary-cli batch", ts, tc, n / ts, tk / 1024
    printf "%-28s %9.1f %9.1f %12.2f %12.0f\n", "ImageMagick composite loop", ms, mc, n / ms, mk / 1024
}'
echo "work folder: $work"
