#!/usr/bin/env bash
# Balance report: the bot flies the level without protection over several seeds and
# the table shows, per section, how many runs reached it and the mean lives lost there.
#   scripts/balance.sh [SEEDS] [BUILD]     (defaults: 10 seeds, build/)
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=${1:-10}
build=${2:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for seed in $(seq 1 "$seeds"); do
  "$build/tarq" --headless --ticks 300000 --seed "$seed" --data "$build/data" --bot \
    --dump "$work/run$seed.jsonl" --dump-every 100 > /dev/null &
  # Two runs at a time: one per core.
  if (( seed % 2 == 0 )); then wait; fi
done
wait
python3 - "$work" "$seeds" "$build/data/system/enemies.txt" <<'PY'
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
reached = [0] * len(cues)
lost = [0] * len(cues)
completed = 0
for seed in range(1, seeds + 1):
    seen, lives, score, cur = set(), None, 0, 0
    for line in open(f"{work}/run{seed}.jsonl"):
        d = json.loads(line)
        if d["ScreenState"] == 6: completed += 1; break
        p = d["Players"][0]
        # Only the first run counts: it ends when its player is out or a new run starts.
        if lives is not None and (p["Lives"] < 0 or d["ScreenState"] != 1 or p["Score"] < score):
            if p["Lives"] < 0: lost[cur] += lives - p["Lives"]
            break
        if d["ScreenState"] != 1 or not p["Active"]: continue
        score = p["Score"]
        cur = section(d["ScrollY"])
        seen.add(cur)
        if lives is not None and p["Lives"] < lives: lost[cur] += lives - p["Lives"]
        lives = p["Lives"]
    for s in seen: reached[s] += 1
print(f"{'#':>2}  {'section':<24} {'runs reached':>12} {'lives lost (mean)':>18}")
for i, n in enumerate(names):
    mean = lost[i] / reached[i] if reached[i] else 0.0
    print(f"{i+1:>2}  {n:<24} {reached[i]:>12} {mean:>18.2f}")
print(f"completed: {completed} of {seeds}")
PY
