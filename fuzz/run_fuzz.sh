#!/bin/sh
# Runs one fuzz target with its seed corpus and dictionary.
#   fuzz/run_fuzz.sh <target> [seconds] [build folder]
# target: fuzz_scenerycfg fuzz_db5 fuzz_cfgset fuzz_level fuzz_olddb (read only), and the same with
#         "fuzz_save_" (read, then save and read the saved files back)
# The corpus grows in <build>/corpus/<target>; crashing inputs land in <build>/artifacts/<target>/;
# inputs kept as test data live in tests/data/fuzz-<target without "fuzz_">/.
set -eu
target=$1
seconds=${2:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-$root/build-fuzz}
data=$root/tests/data
corpus=$build/corpus/$target
artifacts=$build/artifacts/$target
mkdir -p "$corpus" "$artifacts"

seed() { # copy every test data file with the given name (any case) into the corpus
  find "$data" -type f -iname "$1" ! -path "*/fuzz-*" | while read -r f; do
    cp "$f" "$corpus/seed-$(echo "$f" | md5sum | cut -c1-12)"
  done
}
case $target in
  fuzz_scenerycfg|fuzz_save_scenerycfg) seed 'Scenery*.cfg'; seed '*scenery.cfg'; dict=scenerycfg.dict ;;
  fuzz_db5|fuzz_save_db5) seed 'Lumivale.db5'; dict=librarydb.dict ;;
  fuzz_cfgset|fuzz_save_cfgset) seed 'CFGSet.db'; dict=librarydb.dict ;;
  fuzz_level|fuzz_save_level) seed 'Level.db'; dict=librarydb.dict ;;
  fuzz_olddb|fuzz_save_olddb) seed 'Lumivale.db'; dict=librarydb.dict ;;
  *) echo "unknown target $target" >&2; exit 2 ;;
esac
# Earlier findings are replayed first.
kept=$data/fuzz-${target#fuzz_}
if [ -d "$kept" ]; then cp "$kept"/* "$corpus/" 2>/dev/null || true; fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build/fuzz/$target" -max_total_time="$seconds" -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
  -dict="$root/fuzz/$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus"
