#!/usr/bin/env bash
# Deblurs a list of photos on a Slurm cluster, one photo per task of a job array:
#   ls shots/*.jpg > photos.txt
#   sbatch --array=1-$(wc -l < photos.txt) docs/slurm-deblur.sh photos.txt sharp/
# Each task takes the line of the list that its array index names and writes
# OUTPUT_FOLDER/NAME-sharp.EXT; the job's exit status is the tool's (see the README).
#SBATCH --job-name=morvanclarity
#SBATCH --cpus-per-task=4
#SBATCH --mem=4G
#SBATCH --output=morvanclarity-%A_%a.log
set -euo pipefail
list=$1
output=$2
photo=$(sed -n "${SLURM_ARRAY_TASK_ID}p" "$list")
exec morvanclarity deblur "$photo" --output-dir "$output" --quiet
