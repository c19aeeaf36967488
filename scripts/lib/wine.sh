# Sourced by the scripts that build the Windows programs and run them under Wine on a virtual
# display of their own. Run from the root of the tree.

jobs=$(nproc 2>/dev/null || echo 2)
wine_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Configures a preset and builds the named targets (all of them when none are named).
build_preset() {
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null || return
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" -j "$jobs" --target "$@"
  else
    cmake --build --preset "$preset" -j "$jobs"
  fi
}

# Commands run on exit, in the order they were added.
exit_actions=()
run_exit_actions() {
  local action
  # An action that fails (its process gone already) must not end the trap under set -e: bash
  # then unwinds the trap's function wrongly and the script ends with 1.
  for action in "${exit_actions[@]}"; do eval "$action" || true; done
}
# A script stopped by its time limit (SIGTERM) or by hand runs them too.
on_exit() {
  exit_actions+=("$1")
  trap run_exit_actions EXIT
  trap 'exit 143' TERM
  trap 'exit 130' INT
}

# Prints Wine's loader of bitness $1 (64 or 32) as wine-loaders lists it; fails when it has none.
wine_loader() {
  local bits path names name
  while read -r bits path names; do
    [ "$bits" = "$1" ] || continue
    [ -x "$path" ] && { echo "$path"; return 0; }
    for name in $names; do command -v "$name" && return 0; done
  done < "$wine_lib/wine-loaders"
  return 1
}

# Exports the Wine environment for a prefix; sets wine64, wine32 (empty without one) and
# wineserver.
use_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wine64=$(wine_loader 64) || wine64=
  wine32=$(wine_loader 32) || wine32=
  wineserver=${wine64%/*}/wineserver; [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
}

# Starts X server $1 (its other arguments after it) in the background on a display number it
# picks itself (-displayfd: no other script can take the same one between a look and the start),
# sets x_server_pid and exports DISPLAY once it accepts connections; stops it on exit. Fails when it
# does not come up within ten seconds.
start_x_server() {
  local number_file number
  number_file=$(mktemp)
  "$@" -displayfd 3 3>"$number_file" >"${x_log:-/dev/null}" 2>&1 &
  x_server_pid=$!
  on_exit "kill $x_server_pid 2>/dev/null"
  for _ in $(seq 100); do
    number=$(head -n 1 "$number_file")
    [ -n "$number" ] && break
    kill -0 "$x_server_pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  [ -n "$number" ] || return 1
  export DISPLAY=":$number"
}

# Starts Xvfb with a screen of $2 (default 1024x768x24, the screen the tests are written for) and
# exports DISPLAY. $1, a display number, is no longer needed: the server picks a free one.
start_display() {
  start_x_server Xvfb -screen 0 "${2:-1024x768x24}" -nolisten tcp
}

# Two monitors: 1024x768 at (0, 0) and 800x600 at (1024, 0), as Xephyr heads joined by Xinerama
# inside an Xvfb that holds both. Without RandR, or Wine sees one monitor. Exports DISPLAY.
# Xephyr's own words go to $xephyr_log when set.
start_two_monitors() {
  start_display "" 1824x768x24 || return
  x_log=${xephyr_log:-/dev/null} start_x_server Xephyr -screen 1024x768+0+0 -screen 800x600+1024+0 \
    +xinerama -extension RANDR -nolisten tcp -ac
}

# Starts xcompmgr -n (compositing without shadows or fades) on $DISPLAY and waits until it owns
# the screen's compositing-manager selection, its own sign that it composites; stops it on exit.
# Its words go to $compositor_log when set. Fails when it has not taken the screen in ten seconds.
start_compositor() {
  xcompmgr -n >"${compositor_log:-/dev/null}" 2>&1 &
  compositor_pid=$!
  on_exit "kill $compositor_pid 2>/dev/null"
  /usr/bin/python3 "$wine_lib/wait_compositor.py" "$compositor_pid"
}

# Sets the display scale of the prefix (LogPixels, read by each new process) to $1 DPI, reads it
# back, and exports BASKETBALL_EXPECT_DPI for the scale programs to assert. A setting that did not
# take returns 1 with the reason in $dpi_error.
set_dpi() {
  local key='HKCU\Control Panel\Desktop' read_back
  timeout -k 10 60 "$wine64" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  timeout -k 10 60 "$wineserver" -w
  read_back=$(timeout -k 10 60 "$wine64" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' |
    awk '$1 == "LogPixels" { print $3 }')
  timeout -k 10 60 "$wineserver" -w  # the query's server gone too: a script may start its own next
  if [ -z "$read_back" ] || [ $((read_back)) -ne "$1" ]; then
    dpi_error="LogPixels did not take: set $1, read back '${read_back}'"
    return 1
  fi
  export BASKETBALL_EXPECT_DPI=$1
}

# Makes the Wine prefix when it is missing, or anew with "fresh": a copy of $WINE_PREFIX_MADE
# when scripts/check made one for all its tiers (wineboot takes most of a minute). Its windows
# are unmanaged, which behave as on Windows; managed ones wait for a window manager.
make_wine_prefix() {
  [ "${1:-}" = fresh ] && rm -rf "$WINEPREFIX"
  [ -d "$WINEPREFIX" ] && return
  if [ -n "${WINE_PREFIX_MADE:-}" ] && [ -d "$WINE_PREFIX_MADE" ]; then
    cp -a "$WINE_PREFIX_MADE" "$WINEPREFIX"
    return
  fi
  echo "making a Wine prefix in $WINEPREFIX ..."
  timeout -k 10 300 "$wine64" wineboot -i >/dev/null 2>&1
  timeout -k 10 60 "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  timeout -k 10 60 "$wineserver" -w
}

# The test scripts' account for scripts/check's summary: a line in $results/why.txt for each run
# that ended without its results. The script ends here with $1 when it cannot play at all.
give_up() {
  echo "$1" >&2
  echo "$1" >>"$results/why.txt"
  exit 2
}

# Empties $results for script $1, and gives up unless every built file after it is there.
fresh_results() {
  local script=$1 f
  shift
  rm -rf "$results"
  mkdir -p "$results"
  for f in "$@"; do
    [ -f "$f" ] || give_up "$script: $f is missing; build the win64 preset first"
  done
}

# What Wine prints when a process it runs crashed, or what a failed C assertion prints: a fault
# of the program or its tests, never worth a second start.
crash_signatures='Unhandled (page fault|exception|illegal instruction|stack overflow)|Assertion failed'
# What is printed when the harness failed the run (the display or the Wine server), not the program.
harness_signatures="[Cc]an't open display|[Cc]annot open display|[Cc]an't connect to|X connection to .* broken|XIO: *fatal|Make sure that your X server is running|wineserver: .*failed|wineserver: could not"

# Runs Wine test program $2 in build/win64 with the arguments after it, its GoogleTest results
# in $results/$1.xml, for at most $WINE_TIME_LIMIT seconds (default 300). A crash, a run over
# the limit, or one that dies with output of its own fails at once. Only the harness's own
# failures (no output at all, or an error of the display or the Wine server) start it once more.
# Each run that crashed or left no results says why in $results/why.txt.
# Returns the last run's exit code (1 for a crash that ended with 0).
run_wine_test() {
  local name=$1 exe=$2 code attempt errors crash limit=${WINE_TIME_LIMIT:-300} why
  shift 2
  for attempt in 1 2; do
    (cd build/win64 && WINEDEBUG=-all,err+all timeout -k 10 "$limit" "$wine64" "$exe" "$@" \
      --gtest_output="xml:${results#build/win64/}/$name.xml") \
      2>"$results/$name.errors" | tee "$results/$name.out"
    code=${PIPESTATUS[0]}
    # Sound has no device on a virtual display; alsa-lib says so on every start.
    errors=$(grep -v '^ALSA lib' "$results/$name.errors")
    crash=$(grep -E "$crash_signatures" <<<"$errors" | head -n 1 | cut -c 1-160)
    [ $code -eq 0 ] && [ -z "$crash" ] && return 0
    [ -n "$errors" ] && tail -n 10 <<<"$errors" >&2
    # What the run started (a program holds its one-copy lock) goes with its server.
    timeout -k 10 60 "$wineserver" -k >/dev/null 2>&1
    timeout -k 10 60 "$wineserver" -w
    why="${exe##*/} ($name)"
    if [ $code -eq 124 ] || [ $code -eq 137 ]; then
      echo "$why ran over its time limit of $limit s and was stopped" | tee -a "$results/why.txt"
      return $code
    elif [ -n "$crash" ]; then
      echo "$why crashed (exit code $code): $crash" | tee -a "$results/why.txt"
      [ $code -ne 0 ] || code=1
      return $code
    fi
    [ -f "$results/$name.xml" ] && return $code
    why="$why ended with exit code $code and no results, start $attempt of 2"
    why+=$(tail -n 1 <<<"$errors" | cut -c 1-160 | sed 's/^./; the last error: &/')
    if { [ -s "$results/$name.out" ] || [ -n "$errors" ]; } && ! grep -qE "$harness_signatures" <<<"$errors"; then
      echo "$why; not started again: not a failure of the display or the Wine server" | tee -a "$results/why.txt"
      return $code
    fi
    echo "$why" | tee -a "$results/why.txt"
  done
  return $code
}
