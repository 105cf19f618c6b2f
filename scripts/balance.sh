#!/usr/bin/env bash
# Balance report: the bot flies the level without protection over several seeds.
# Full runs start at the first section and show how far the bot gets: per section, how
# many runs reached it and the mean lives lost there. Practice runs start each section
# on its own (--start-section N, same seeds) and fly it to its end, so every section gets
# a measured difficulty even where full runs never arrive: the mean lives lost in it and
# the mean hits taken (a finer measure: a bullet hit, or a lost life).
#   scripts/balance.sh [SEEDS] [BUILD] [JOBS]     (defaults: 10 seeds, build/, 2 jobs)
# The table is printed as Markdown.
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=${1:-10}
build=${2:-build}
jobs=${3:-2}
schedule="$build/data/system/enemies.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each section's length in ticks: the scroll moves a pixel every second tick from its
# music cue to the next one; the margin covers the title, the joining and boss holds.
mapfile -t lengths < <(awk '!/^;/ && NF == 12 && $2 == 252 { t[n++] = ($1 > 261700 ? 261700 : $1) }
  END { for (i = 0; i < n; i++) print 2 * (t[i] - (i + 1 < n ? t[i + 1] : 126272)) + 8000 }' "$schedule")
sections=${#lengths[@]}

{
  for seed in $(seq 1 "$seeds"); do
    echo "full $seed 1 300000"
    for s in $(seq 1 "$sections"); do echo "practice $seed $s ${lengths[$((s - 1))]}"; done
  done
} | xargs -P "$jobs" -L 1 sh -c '
  "$0/tarq" --headless --ticks "$5" --seed "$3" --data "$0/data" --bot --start-section "$4" \
    --dump "$1/$2-$3-$4.jsonl" --dump-every 50 > /dev/null' "$build" "$work" ||
  { echo "balance: a run failed" >&2; exit 1; }

python3 - "$work" "$seeds" "$schedule" <<'PY'
import json, sys, re
work, seeds, schedule = sys.argv[1], int(sys.argv[2]), sys.argv[3]
names, cues = [], []
for line in open(schedule, encoding="latin-1"):
    line = line.strip()
    m = re.match(r"; section (\d+): (.*) \(rows", line)
    if m: names.append(m.group(2))
    f = line.split(" ")
    if not line.startswith(";") and len(f) == 12 and f[1] == "252": cues.append(int(f[0]))
def section(scroll):
    s = 0
    for i, t in enumerate(cues):
        if scroll <= t: s = i
    return s

def first_run(path, only=None):
    """Lives lost per section over the file's first run (it ends when its player is out,
    a new run starts or, for practice, the scroll leaves the section). Also the sections
    it reached, whether it completed the level and whether its player ran out of lives."""
    lost, hits, seen, lives, energy, score, cur, out, last_scroll = {}, {}, set(), None, None, 0, 0, False, 0
    for line in open(path):
        d = json.loads(line)
        if d["ScreenState"] == 6: return lost, hits, seen, True, False
        p = d["Players"][0]
        if lives is not None and (p["Lives"] < 0 or d["ScreenState"] != 1 or p["Score"] < score):
            if p["Lives"] < 0: lost[cur] = lost.get(cur, 0) + lives - p["Lives"]
            out = p["Lives"] < 0
            # The bot's Fire taps leave the completion screen quickly: a run that ends
            # with lives left at the level's end completed it.
            if not out and last_scroll == 126272: return lost, hits, seen, True, False
            break
        if d["ScreenState"] != 1 or not p["Active"]: continue
        score = p["Score"]
        last_scroll = d["ScrollY"]
        cur = section(d["ScrollY"])
        if only is not None and cur != only:
            if seen: break
            continue
        seen.add(cur)
        if lives is not None and p["Lives"] < lives: lost[cur] = lost.get(cur, 0) + lives - p["Lives"]
        # Hits taken: each bullet costs 550 energy, and a lost life counts as one.
        if lives is not None and p["Lives"] < lives: hits[cur] = hits.get(cur, 0) + lives - p["Lives"]
        elif energy is not None and p["Energy"] > 0 and energy - p["Energy"] > 275:
            hits[cur] = hits.get(cur, 0) + round((energy - p["Energy"]) / 550)
        lives, energy = p["Lives"], p["Energy"]
    return lost, hits, seen, False, out

n = len(cues)
reached, full_lost, practice_lost, practice_hits, practice_out = [0] * n, [0] * n, [0] * n, [0] * n, [0] * n
completed = 0
for seed in range(1, seeds + 1):
    lost, _, seen, done, _ = first_run(f"{work}/full-{seed}-1.jsonl")
    completed += done
    for s in seen: reached[s] += 1
    for s, v in lost.items(): full_lost[s] += v
    for s in range(n):
        lost, hits, _, _, out = first_run(f"{work}/practice-{seed}-{s + 1}.jsonl", only=s)
        practice_lost[s] += lost.get(s, 0)
        practice_hits[s] += hits.get(s, 0)
        practice_out[s] += out
print("| # | section | full runs reached | lives lost (mean, full) | lives lost (mean, practice) | hits taken (mean, practice) | practice runs out of lives |")
print("|---|---|---|---|---|---|---|")
for i, name in enumerate(names):
    full = f"{full_lost[i] / reached[i]:.2f}" if reached[i] else "-"
    print(f"| {i + 1} | {name} | {reached[i]} of {seeds} | {full} | {practice_lost[i] / seeds:.2f} | {practice_hits[i] / seeds:.2f} | {practice_out[i]} of {seeds} |")
print(f"\nFull runs completed: {completed} of {seeds}.")
PY
