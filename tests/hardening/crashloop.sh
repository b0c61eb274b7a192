#!/usr/bin/env bash
# Kills lumivale-cli with SIGKILL at random moments while it saves, and checks after each kill
# that the library files and the simulator's Scenery.cfg still read, each exactly as it was
# before the command or as the command leaves it when it runs to its end.
#
#   crashloop.sh LUMIVALE_CLI [KILLS] [SCENERIES] [SEED]
#
# The commands take turns: `import` of a Scenery.cfg with five new areas (the library grows),
# `write-cfg` of another set than the last one, `backup make` of a new name. The moment of each
# kill is drawn where the command writes its files: from a little before the moment its first file
# changed in a run measured beforehand, to the end of that run.
set -euo pipefail

cli="$(realpath "$1")"
kills="${2:-50}"
sceneries="${3:-20000}"
RANDOM="${4:-16}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$work/demo"
export LUMIVALE_HOME="$work/demo/lumivale-home"
fs="$work/demo/drive_c/Program Files/Microsoft Games/FS2002"
files=("$LUMIVALE_HOME/Lumivale.db5" "$LUMIVALE_HOME/Level.db" "$LUMIVALE_HOME/CFGSet.db" "$fs/Scenery.cfg")

"$cli" demo "$WINEPREFIX" --sceneries "$sceneries" >/dev/null
# What `backup make` saves: the simulator's Scenery.cfg and its configuration file.
printf '\\Scenery.cfg\r\n\\FS2002.cfg\r\n' >"$LUMIVALE_HOME/BackupFilesFS2002.db"

# Copies every checked file there is into folder $1.
snapshot() {
  mkdir -p "$1"
  local f
  for f in "${files[@]}"; do
    [ ! -f "$f" ] || cp "$f" "$1/"
  done
}
# Puts the files of snapshot $1 back, removing those it does not hold.
restore() {
  local f
  for f in "${files[@]}"; do
    if [ -f "$1/$(basename "$f")" ]; then cp "$1/$(basename "$f")" "$f"; else rm -f "$f"; fi
  done
}
# Whether file $1 is the same in both snapshots (both without it counts as the same).
same() { cmp -s "$2/$1" "$3/$1" || { [ ! -e "$2/$1" ] && [ ! -e "$3/$1" ]; }; }
# The Scenery.cfg that `import` reads in run $1: five areas not yet in the library.
areas() {
  local n
  printf '[General]\r\nTitle=Crash %s\r\n' "$1"
  for n in 1 2 3 4 5; do
    printf '\r\n[Area.%03d]\r\nTitle=Crash %s area %s\r\nLocal=Addon Scenery\\Crash%s_%s\r\nLayer=%s\r\nActive=TRUE\r\nRequired=FALSE\r\n' \
      "$n" "$1" "$n" "$1" "$n" "$n"
  done
}
command_of() { # run number -> the command line, as words
  case $(($1 % 3)) in
    0) areas "$1" >"$work/import$1.cfg"; echo "import $work/import$1.cfg" ;;
    1) if [ $(($1 % 2)) -eq 0 ]; then echo "write-cfg Bench_332"; else echo "write-cfg Empty"; fi ;;
    2) echo "backup make crash$1" ;;
  esac
}
run_command() { # words...; "Bench_332" stands for the set name with its blank. Replaces the shell
  # it runs in by the command, so that the process started in the background is the command.
  local words=("$@")
  [ "${words[1]:-}" = Bench_332 ] && words[1]="Bench 332"
  exec "$cli" "${words[@]}"
}

# Each command's running time, and the moment the first checked file changed (0: none did), in
# milliseconds, for drawing the moment of its kill.
declare -A took wrote
for kind in 0 1 2; do
  before=$(stat -c %y "${files[@]}" 2>/dev/null || true)
  start=$(date +%s%N)
  wrote[$kind]=0
  # shellcheck disable=SC2046
  (run_command $(command_of $((kind + 300))) >/dev/null 2>&1) &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ "${wrote[$kind]}" -eq 0 ] && [ "$(stat -c %y "${files[@]}" 2>/dev/null || true)" != "$before" ]; then
      wrote[$kind]=$((($(date +%s%N) - start) / 1000000))
    fi
    sleep 0.02
  done
  wait "$pid" || true
  took[$kind]=$((($(date +%s%N) - start) / 1000000))
done

old_kept=0 new_whole=0
for ((i = 1; i <= kills; i++)); do
  kind=$((i % 3))
  line=$(command_of "$i")
  rm -rf "$work/old" "$work/killed" "$work/new"
  snapshot "$work/old"
  # The moments are drawn where the files are written: from a little before the first file
  # changed to the end, or over the later half of a command that changes none of them.
  from=$((${wrote[$kind]} > 0 ? ${wrote[$kind]} * 4 / 5 : ${took[$kind]} / 2))
  delay=$((from + RANDOM * (${took[$kind]} - from) / 32768))
  # shellcheck disable=SC2086
  (run_command $line >/dev/null 2>&1) &
  pid=$!
  sleep "$(printf '0.%03d' $((delay % 1000)))"
  sleep $((delay / 1000))
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  snapshot "$work/killed"

  # Every file reads: the library and the Scenery.cfg load without a message.
  if ! "$cli" list >/dev/null 2>"$work/list.err" || [ -s "$work/list.err" ]; then
    echo "run $i ($line, killed after ${delay} ms): the files do not read:" >&2
    cat "$work/list.err" >&2
    exit 1
  fi

  changed=0
  for f in "${files[@]}"; do same "$(basename "$f")" "$work/old" "$work/killed" || changed=1; done
  # A backup is there whole or not at all.
  zip="$LUMIVALE_HOME/EnvBackups/crash$i.zip"
  if [ -e "$zip" ] && ! unzip -tqq "$zip" >/dev/null 2>&1; then
    echo "run $i ($line, killed after ${delay} ms): crash$i.zip is damaged" >&2
    exit 1
  fi
  if [ $changed -eq 0 ]; then
    old_kept=$((old_kept + 1))
    continue
  fi
  # Some file changed: it must be as the command leaves it when it runs to its end from the same
  # start.
  restore "$work/old"
  rm -f "$zip"
  # shellcheck disable=SC2086
  if ! (run_command $line >/dev/null 2>"$work/run.err"); then
    echo "run $i: $line fails when not killed:" >&2
    cat "$work/run.err" >&2
    exit 1
  fi
  snapshot "$work/new"
  for f in "${files[@]}"; do
    name=$(basename "$f")
    if ! same "$name" "$work/killed" "$work/old" && ! same "$name" "$work/killed" "$work/new"; then
      echo "run $i ($line, killed after ${delay} ms): $name is neither its old nor its new version" >&2
      exit 1
    fi
  done
  new_whole=$((new_whole + 1))
done
echo "crash loop: $kills kills on $sceneries sceneries: after $old_kept every file was as before," \
  "after $new_whole the changed files were whole and as a full run leaves them; every file read"
