#!/bin/sh
# The autopilot's play at every throw level and three skills, over seeds 1 to 20 of ten minutes
# each: hits per minute, the mean streak (hits per run) and the best streak, as a Markdown table.
#
# Usage: bench/autopilot_table.sh BUILD_DIR   (about a minute on two cores)
set -eu
arena="$1/bin/arena"
echo "| Level | Skill | Hits per minute | Mean streak (hits per run) | Best streak |"
echo "|---|---|---|---|---|"
for level in beginner easy normal hard pro; do
    for skill in 0.3 0.6 1.0; do
        for seed in $(seq 1 20); do
            "$arena" --no-config --seed "$seed" play --seconds 600 --quiet --json --level "$level" --skill "$skill"
        done | awk -v level="$level" -v skill="$skill" '
            { match($0, /"runs":[0-9]+/); runs += substr($0, RSTART + 7, RLENGTH - 7)
              match($0, /"hits":[0-9]+/); hits += substr($0, RSTART + 7, RLENGTH - 7)
              match($0, /"bestStreak":[0-9]+/); b = substr($0, RSTART + 13, RLENGTH - 13) + 0; if (b > best) best = b
              n++ }
            END { printf "| %s | %s | %.2f | %.2f | %d |\n", level, skill, hits / (n * 10), runs ? hits / runs : 0, best }'
    done
done
