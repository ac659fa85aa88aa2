#!/usr/bin/env bash
# The long robustness runs (make soak), then the figures table that
# docs/robustness.md keeps:
#   soak.sh BUILD-ROOT JOBS
# HOST_FUZZ_RUNS (10,000,000), PRESET_FUZZ_SECONDS (600), THREADS_SECONDS (60)
# and LIFECYCLE_INSTANCES (500) shorten or lengthen the runs.
set -uo pipefail
B="$(cd "$1" && pwd)"; JOBS="${2:-2}"
runs="${HOST_FUZZ_RUNS:-10000000}" presetSeconds="${PRESET_FUZZ_SECONDS:-600}"
threadSeconds="${THREADS_SECONDS:-60}" instances="${LIFECYCLE_INSTANCES:-500}"
here="$(cd "$(dirname "$0")/.." && pwd)"
log="$B/soak"; mkdir -p "$log"
export ONDREL_NO_DIALOGS=1 ONDREL_MESSAGE_LOG= DISPLAY= XDG_CONFIG_HOME="$log/config"
rows=()
row() { rows+=("| $1 | $2 | $3 | $4 |"); }
since() { echo $(( $(date +%s) - $1 ))s; }
verdict() { [ "$1" = 0 ] && echo "none" || echo "FAILED (see $2)"; }

# Host fuzzer: one instance per thousand sessions, leak checks left to the
# lifecycle runs; each worker takes its share of the executions.
t=$(date +%s); f="$B/fuzz/fuzz/host"; mkdir -p "$f/corpus-soak"
(cd "$f" && ./host_fuzz_session -runs=$((runs / JOBS)) -jobs="$JOBS" -workers="$JOBS" -detect_leaks=0 \
  -timeout=20 -rss_limit_mb=3072 -max_len=4096 -artifact_prefix="$f/crash-session-" \
  "$f/corpus-soak" "$here/fuzz/host/corpus" >"$log/host_fuzz.log" 2>&1); rc=$?
done=$(cat "$f"/fuzz-*.log 2>/dev/null | grep -o '^Done [0-9]* runs' | awk '{s += $2} END {print s + 0}')
row "Host fuzzer (sessions of host calls)" "$done executions" "$(since $t)" "$(verdict $rc "$f/fuzz-*.log")"

for target in document host_chunk; do
  t=$(date +%s); p="$B/fuzz/fuzz/presets"
  "$p/presets_fuzz_$target" -max_total_time="$presetSeconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -dict="$here/fuzz/presets/preset.dict" -artifact_prefix="$p/crash-$target-" "$p/corpus-$target" \
    "$here/fuzz/presets/corpus/$target" >"$log/presets_$target.log" 2>&1; rc=$?
  n=$(grep -o '^Done [0-9]* runs' "$log/presets_$target.log" | awk '{print $2}')
  row "Preset fuzzer ($target)" "${n:-0} executions" "$(since $t)" "$(verdict $rc "$log/presets_$target.log")"
done

t=$(date +%s)
ONDREL_THREADS_SECONDS="$threadSeconds" TSAN_OPTIONS="exitcode=66 history_size=4" \
  "$B/tsan/tests/robustness/robustness_threads" >"$log/threads.log" 2>&1; rc=$?
races=$(grep -c '^SUMMARY: ThreadSanitizer: data race' "$log/threads.log")
row "Threads under ThreadSanitizer (audio + user interface)" "${threadSeconds} s of audio" "$(since $t)" \
  "$races race reports$( [ "$rc" = 0 ] || echo ", exit $rc")"

t=$(date +%s)
ONDREL_LIFECYCLE_INSTANCES="$instances" ONDREL_LIFECYCLE_RESIDENT=0 valgrind --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --suppressions="$here/tests/robustness/valgrind.supp" --error-exitcode=1 "$B/plain/tests/robustness/robustness_tests" --gtest_filter='Lifecycle.*' \
  >"$log/valgrind.log" 2>&1; rc=$?
row "Instances under valgrind memcheck" "$instances made, played, deleted" "$(since $t)" "$(verdict $rc "$log/valgrind.log")"

t=$(date +%s)
(cd "$B/linux" && ctest -R '^(OddHosts|Lifecycle|HostSessions)\.|^presets_Manager\.UserFolderAsUsersLeaveIt$' -j "$JOBS" >"$log/native.log" 2>&1); rc=$?
n=$(grep -o 'out of [0-9]*' "$log/native.log" | awk '{print $3 " tests"}')
row "Odd hosts, 500 instances (LeakSanitizer), user folders, corpus replay" "${n:-0}" "$(since $t)" "$(verdict $rc "$log/native.log")"

echo
echo "| Run | Cases | Duration | Findings |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
