#!/usr/bin/env bash
# End-to-end timing of the batch tool on a 12-megapixel RGB photograph (4000 x 3000) blurred by
# the default out-of-focus spot: wall time and peak memory of Progressive Medium and Smoothing
# Medium. Run after ./scripts/run-sample (it uses build-release/).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build-release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fresh configuration folder: the warm-up measures the FFT plans of the 2048 x 2048 tile
# canvas once, as a user's first run would, and the timed runs reuse them.
export XDG_CONFIG_HOME="$work/config"

"$build/bench/makeBlurredImage" --synthetic 4000x3000 "$work/blurred.png"
"$build/bench/makeBlurredImage" --synthetic 1500x1500 "$work/warm-up.png"
"$build/cli/morvanclarity" deblur "$work/warm-up.png" "$work/warm-up-out.png" --quiet

for method in progressive smoothing; do
    /usr/bin/time -v "$build/cli/morvanclarity" deblur "$work/blurred.png" "$work/$method.png" \
        --method "$method" --power medium --quiet 2> "$work/time.txt"
    wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{printf "%.0f", $NF / 1024}')
    echo "12 MP RGB, $method medium: wall $wall, peak memory $peak MiB"
done
