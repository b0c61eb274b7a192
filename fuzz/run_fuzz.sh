#!/bin/bash
# Builds and runs the fuzz targets with their seed corpora and dictionaries.
#   fuzz/run_fuzz.sh <target> [seconds] [build folder]      one target
#   fuzz/run_fuzz.sh --all [seconds each] [build folder]    every target, one after the other
#   fuzz/run_fuzz.sh --list                                 the targets
# The build folder (default build-fuzz) is configured with the preset "fuzz" when it is not yet.
# The corpus grows in <build>/corpus/<target>; crashing inputs land in <build>/artifacts/<target>/;
# inputs kept as test data live in tests/data/fuzz-<target without "fuzz_">/. Each run's last lines
# go to <build>/logs/<target>.log. --all ends with a table of the runs and fails when one found
# something.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/tests/data

targets="fuzz_scenerycfg fuzz_db5 fuzz_cfgset fuzz_level fuzz_olddb
fuzz_save_scenerycfg fuzz_save_db5 fuzz_save_cfgset fuzz_save_level fuzz_save_olddb
fuzz_backuplist fuzz_filelist fuzz_airports fuzz_startflight fuzz_settings fuzz_winereg
fuzz_unzip fuzz_areas fuzz_fileiddiz"

if [ $# -lt 1 ]; then
  sed -n '2,5p' "$0" >&2
  exit 2
fi
if [ "$1" = --list ]; then
  echo $targets | tr ' ' '\n'
  exit 0
fi
mode=$1
seconds=${2:-300}
build=${3:-$root/build-fuzz}

# The seed files, dictionary and longest input of a target.
setup() {
  local target=$1
  seeds=() dict= maxlen=20000
  case $target in
    fuzz_scenerycfg|fuzz_save_scenerycfg) seeds=('Scenery*.cfg' '*scenery.cfg'); dict=scenerycfg.dict ;;
    fuzz_db5|fuzz_save_db5) seeds=('Lumivale.db5'); dict=librarydb.dict ;;
    fuzz_cfgset|fuzz_save_cfgset) seeds=('CFGSet.db'); dict=librarydb.dict ;;
    fuzz_level|fuzz_save_level) seeds=('Level.db'); dict=librarydb.dict ;;
    fuzz_olddb|fuzz_save_olddb) seeds=('Lumivale.db'); dict=librarydb.dict ;;
    fuzz_backuplist|fuzz_filelist|fuzz_airports) dict=paths.dict; maxlen=4096 ;;
    fuzz_startflight) seeds=('FS200*.cfg'); dict=paths.dict ;;
    fuzz_settings|fuzz_winereg) dict=registry.dict ;;
    fuzz_unzip) dict=archive.dict; maxlen=8192 ;;
    fuzz_areas) seeds=('Scenery*.cfg'); dict=areas.dict; maxlen=4096 ;;
    fuzz_fileiddiz) seeds=('FILE_ID.DIZ'); maxlen=4096 ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
  esac
}

# Copies the seeds of a target into its corpus: the matching test data files, the generated seeds
# in fuzz/seeds/<name>, and the inputs kept from earlier findings.
seed() {
  local target=$1 corpus=$2 pattern f name=${1#fuzz_}
  for pattern in "${seeds[@]}"; do
    find "$data" -type f -iname "$pattern" ! -path "*/fuzz-*" | while read -r f; do
      cp "$f" "$corpus/seed-$(echo "$f" | md5sum | cut -c1-12)"
    done
  done
  if [ -d "$root/fuzz/seeds/$name" ]; then cp "$root/fuzz/seeds/$name"/* "$corpus/"; fi
  if [ -d "$data/fuzz-$name" ]; then cp "$data/fuzz-$name"/* "$corpus/" 2>/dev/null || true; fi
}

build_targets() {
  if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing: scripts/test installs it (scripts/lib/common.sh)." >&2
    exit 2
  fi
  if [ ! -f "$build/build.ninja" ]; then
    (cd "$root" && cmake --preset fuzz -B "$build" >/dev/null)
  fi
  cmake --build "$build" -j2 --target "$@"
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Runs one target; its status is libFuzzer's (0: nothing found).
run() {
  local target=$1 corpus=$build/corpus/$1 artifacts=$build/artifacts/$1 log=$build/logs/$1.log
  setup "$target"
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  seed "$target" "$corpus"
  local dictArg=()
  if [ -n "$dict" ]; then dictArg=(-dict="$root/fuzz/$dict"); fi
  local status
  set +e
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
    "${dictArg[@]}" -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" 2>&1 | tee "$log" |
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|==[0-9]+==|finding:|stat::number_of_executed_units|SUMMARY)'
  status=${PIPESTATUS[0]}
  set -e
  return "$status"
}

if [ "$mode" != --all ]; then
  build_targets "$mode"
  run "$mode"
  exit $?
fi

# shellcheck disable=SC2086
build_targets $targets
failed=0
summary="target seconds executions cov ft corpus result"
for target in $targets; do
  status=0
  run "$target" || status=$?
  log=$build/logs/$target.log
  last=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|NEW|REDUCE|pulse)' "$log" | tail -1)
  cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
  ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  files=$(find "$build/corpus/$target" -type f | wc -l)
  result=ok
  if [ "$status" -ne 0 ]; then result="FOUND (see $build/artifacts/$target/)"; failed=1; fi
  summary="$summary
$target $seconds ${units:--} ${cov:--} ${ft:--} $files $result"
done
echo "$summary" | column -t
exit $failed
