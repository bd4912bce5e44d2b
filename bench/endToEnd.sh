#!/usr/bin/env bash
# End-to-end timing of the batch tool: wall time and peak memory of Progressive Medium and
# Smoothing Medium on a 12-megapixel RGB photograph (4000 x 3000) and of Progressive Medium on a
# 1024 x 1024 one, both blurred by the default out-of-focus spot. Run after ./scripts/run-sample
# (it uses build-release/).
#
# Each size is first run once in a fresh configuration folder, as a user's first run on it
# would be: that run measures the FFT plans of its tile canvas and keeps them in the wisdom file.
# The timed runs must find them there; each says whether it measured plans (the wisdom file is
# rewritten only when it did), and the timed Progressive results must equal the first runs'.
#
# REFERENCE_BUILD=DIR also times another build of the tool (an older release, say) right before
# each timed run, with a configuration folder of its own, and compares its results with this
# build's sample by sample.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-release}
reference=${REFERENCE_BUILD:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/makeBlurredImage" --synthetic 4000x3000 "$work/12mp.png"
"$build/bench/makeBlurredImage" --synthetic 1024x1024 "$work/1mp.png"

wisdomStamp() {
    stat -c '%i %y %s' "$1/MRVCLPhotoshopPlugIn/fftw3f-wisdom" 2>/dev/null || echo none
}

# run BUILD CONFIG LABEL INPUT OUTPUT METHOD: one timed run of the batch tool; sets $wall.
run() {
    local tool=$1 config=$2 label=$3 input=$4 output=$5 method=$6 before peak planned
    before=$(wisdomStamp "$config")
    XDG_CONFIG_HOME=$config /usr/bin/time -v "$tool/cli/morvanclarity" deblur "$input" \
        "$output" --method "$method" --power medium --quiet 2> "$work/time.txt"
    wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{printf "%.0f", $NF / 1024}')
    planned=no
    [ "$(wisdomStamp "$config")" != "$before" ] && planned=yes
    echo "$label, $method medium: wall $wall, peak memory $peak MiB, measured FFT plans: $planned"
}

seconds() {
    echo "$1" | awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }'
}

# timed LABEL INPUT NAME METHOD: the timed run, after the reference's when there is one.
timed() {
    local label=$1 input=$2 name=$3 method=$4 referenceWall
    if [ -n "$reference" ]; then
        run "$reference" "$work/reference-config" "$label (reference)" "$input" \
            "$work/reference-$name" "$method"
        referenceWall=$wall
    fi
    run "$build" "$work/config" "$label" "$input" "$work/$name" "$method"
    if [ -n "$reference" ]; then
        awk -v a="$(seconds "$wall")" -v b="$(seconds "$referenceWall")" \
            'BEGIN { printf "  wall time %.2f of the reference'"'"'s\n", a / b }'
        echo -n "  against the reference: "
        "$build/bench/comparePictures" "$work/reference-$name" "$work/$name" || true
    fi
}

run "$build" "$work/config" "12 MP RGB first run" "$work/12mp.png" "$work/first-12mp.png" \
    progressive
run "$build" "$work/config" "1024 x 1024 RGB first run" "$work/1mp.png" "$work/first-1mp.png" \
    progressive
if [ -n "$reference" ]; then
    run "$reference" "$work/reference-config" "12 MP RGB first run (reference)" "$work/12mp.png" \
        "$work/reference-first.png" progressive
fi
timed "12 MP RGB" "$work/12mp.png" progressive-12mp.png progressive
timed "12 MP RGB" "$work/12mp.png" smoothing-12mp.png smoothing
timed "1024 x 1024 RGB" "$work/1mp.png" progressive-1mp.png progressive

same=yes
cmp -s "$work/first-12mp.png" "$work/progressive-12mp.png" || same=no
cmp -s "$work/first-1mp.png" "$work/progressive-1mp.png" || same=no
echo "Progressive results identical to the first runs': $same"
