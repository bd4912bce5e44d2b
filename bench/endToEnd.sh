#!/usr/bin/env bash
# End-to-end timing of the batch tool: wall time and peak memory of Progressive Medium and
# Smoothing Medium on a 12-megapixel RGB photograph (4000 x 3000) and of Progressive Medium on a
# 1024 x 1024 one, both blurred by the default out-of-focus spot. Run after ./scripts/run-sample
# (it uses build-release/).
#
# Each size is first run once in a fresh configuration folder, as a user's first run on it
# would be: that run measures the FFT plans of its tile canvas and keeps them in the wisdom file.
# The timed runs must find them there; each says whether it measured plans (the wisdom file is
# rewritten only when it did), and the timed Progressive result must equal the first run's.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
wisdom="$XDG_CONFIG_HOME/MRVCLPhotoshopPlugIn/fftw3f-wisdom"

"$build/bench/makeBlurredImage" --synthetic 4000x3000 "$work/12mp.png"
"$build/bench/makeBlurredImage" --synthetic 1024x1024 "$work/1mp.png"

wisdomStamp() {
    stat -c '%i %y %s' "$wisdom" 2>/dev/null || echo none
}

# run LABEL INPUT OUTPUT METHOD: one timed run of the batch tool.
run() {
    local label=$1 input=$2 output=$3 method=$4 before wall peak planned
    before=$(wisdomStamp)
    /usr/bin/time -v "$build/cli/morvanclarity" deblur "$input" "$output" \
        --method "$method" --power medium --quiet 2> "$work/time.txt"
    wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{printf "%.0f", $NF / 1024}')
    planned=no
    [ "$(wisdomStamp)" != "$before" ] && planned=yes
    echo "$label, $method medium: wall $wall, peak memory $peak MiB, measured FFT plans: $planned"
}

run "12 MP RGB first run" "$work/12mp.png" "$work/first-12mp.png" progressive
run "1024 x 1024 RGB first run" "$work/1mp.png" "$work/first-1mp.png" progressive
run "12 MP RGB" "$work/12mp.png" "$work/progressive-12mp.png" progressive
run "12 MP RGB" "$work/12mp.png" "$work/smoothing-12mp.png" smoothing
run "1024 x 1024 RGB" "$work/1mp.png" "$work/progressive-1mp.png" progressive

same=yes
cmp -s "$work/first-12mp.png" "$work/progressive-12mp.png" || same=no
cmp -s "$work/first-1mp.png" "$work/progressive-1mp.png" || same=no
echo "Progressive results identical to the first runs': $same"
