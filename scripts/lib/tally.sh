# Sourced by scripts/check: the GoogleTest counts of a tier's result files, added to its
# summary, total_passed, total_failed, total_skipped and status.

# One GoogleTest count of result file $2: the attribute $1 of its <testsuites>.
count() { grep -o "<testsuites [^>]*$1=\"[0-9]*\"" "$2" | grep -o '"[0-9]*"$' | tr -d '"'; }

# Adds the GoogleTest counts of one tier's result files to the summary, with its wall time $4.
tally() {
  local tier=$1 rc=$2 dir=${3:-build/$1/results} seconds=${4:-} passed=0 failed=0 skipped=0 f
  local tests fails errors disabled skips
  for f in "$dir/"*.xml; do
    [ -f "$f" ] || continue
    tests=$(count tests "$f"); fails=$(count failures "$f"); errors=$(count errors "$f")
    # Both are in "tests": a DISABLED_ test and one that called GTEST_SKIP and did not fail.
    disabled=$(count disabled "$f"); skips=$(grep -c 'result="skipped"' "$f")
    failed=$((failed + ${fails:-0} + ${errors:-0}))
    skipped=$((skipped + ${disabled:-0} + skips))
    passed=$((passed + ${tests:-0} - ${fails:-0} - ${errors:-0} - ${disabled:-0} - skips))
  done
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  summary+=("$(printf '%-8s %4d passed, %d failed, %d skipped%s%s' "$tier" "$passed" "$failed" "$skipped" \
    "${seconds:+   ($seconds s)}" "$([ "$rc" -ne 0 ] && echo '   <-- FAILED')")")
  # Why a run crashed or left no results, even one that passed on its second start.
  if [ -f "$dir/why.txt" ]; then
    while IFS= read -r line; do summary+=("         $line"); done < <(head -n 4 "$dir/why.txt")
  fi
  [ "$rc" -eq 0 ] || status=1
}
