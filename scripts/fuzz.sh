#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp) with clang and runs each for the given
# number of seconds, starting from the seed inputs in fuzz/corpus/<target>/ and, when
# the forged data folder exists (TARQ_DATA_DIR, by default build/data), the forged
# files of the target's kind. Any crash, leak, sanitizer report or time-out fails the
# script, and so does an input that makes a reader take more than 1 GiB in all or ask
# for 256 MiB at once: amplification is a finding.
#   bash scripts/fuzz.sh 30
set -euo pipefail
seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TARQ_FUZZ_BUILD:-$root/build-fuzz}"
data="${TARQ_DATA_DIR:-$root/build/data}"
jobs="$(nproc)"
mkdir -p "$build"

targets=()
for src in "$root"/fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$src" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets"
  exit 0
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARQ_FUZZ=ON -DTARQ_TESTS=OFF -DTARQ_BENCH=OFF > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target "${targets[@]}" -j "$jobs"

passed=0
failed=0
for t in "${targets[@]}"; do
  # Work on a copy of the seeds so the repository's corpus stays as committed.
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/corpus/$t" ]; then
    cp -f "$root/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  fi
  if [ -d "$data" ]; then
    case "$t" in
      # The sprite archive is over a megabyte, which slows the archive fuzzer to a
      # crawl; the forged fonts are small archives of the same format (their
      # signature is swapped for the sprite archive's below).
      fuzz_archive) seeds=() ;;
      fuzz_font) seeds=("$data/system/timesroman.fnt" "$data/system/stencil.fnt") ;;
      fuzz_tga) seeds=("$data/system/loading.tga" "$data/tiles/sand_0.tga") ;;
      fuzz_bmp) seeds=("$data/tiles/house_0.bmp") ;;
      fuzz_tile_list) seeds=("$data/tiles/tiles.txt") ;;
      fuzz_map) seeds=("$data/system/map.dat") ;;
      fuzz_schedule) seeds=("$data/system/enemies.txt") ;;
      *) seeds=() ;;
    esac
    for s in "${seeds[@]}"; do
      if [ -f "$s" ]; then cp -f "$s" "$corpus/forged_$(basename "$s")"; fi
    done
    if [ "$t" = fuzz_archive ]; then
      for f in timesroman stencil; do
        if [ -f "$data/system/$f.fnt" ]; then
          { printf 'TQPK'; tail -c +5 "$data/system/$f.fnt"; } > "$corpus/forged_$f.pak"
        fi
      done
    fi
  fi
  artifacts="$build/artifacts/$t/"
  mkdir -p "$artifacts"
  echo "== $t for ${seconds}s"
  if (cd "$build" && "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=1024 -malloc_limit_mb=256 \
        -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" > "$build/$t.log" 2>&1); then
    passed=$((passed + 1))
    grep -E "^stat::number_of_executed_units|^Done" "$build/$t.log" || true
  else
    failed=$((failed + 1))
    tail -n 60 "$build/$t.log"
    echo "fuzz: $t FAILED (inputs in $artifacts)"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
