#!/usr/bin/env bash
# The log file across runs: a first run shows the welcome window; SIGTERM quits through the
# normal termination, so the run's lines reach ~/Library/Logs/Voltaro.log; the next run
# restores them, adds an empty line and its own; a second launch leaves the log alone; a
# large log with bytes that are not UTF-8 comes back unchanged.
VOLTARO=${1:?usage: log-survives-runs.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
start_system_bus
set_discharging_battery

# stop_voltaro: SIGTERM, then the process must end by itself with status 0.
stop_voltaro() {
    kill -TERM "$VOLTARO_PID"
    local status=0
    wait "$VOLTARO_PID" || status=$?
    [ "$status" -eq 0 ] || fail "Voltaro ended with status $status after SIGTERM"
}

# log_file_messages: the file's lines (carriage-return ends) without their timestamps.
log_file_messages() {
    tr '\r' '\n' <"$LOG_FILE" | sed -E 's/^[0-9-]+ [0-9:]+: //'
}

# --- First run: welcome window, then lines, then SIGTERM saves them.
[ ! -e "$LOG_FILE" ] || fail "the private HOME already has a log"
start_voltaro
wait_for_window "Welcome to Voltaro" >/dev/null
sleep 0.5
screenshot welcome-window
dismiss_welcome
wait_for_message "--- Running on battery (current charge = 80%)"
set_supply AC online=1
wait_for_message "Charger plugged"
stop_voltaro
[ -f "$LOG_FILE" ] || fail "no log file after SIGTERM"
first=$(log_file_messages)
expected_first=$(printf '%s\n' "--- Voltaro started" "--- Running on battery (current charge = 80%)" \
    "Charger plugged" "--- Voltaro terminated")
[ "$first" = "$expected_first" ] || fail "first run saved: $first"
[ "$(tr -dc '\n' <"$LOG_FILE" | wc -c)" -eq 0 ] || fail "the log file holds a line feed"

# --- Second run: no welcome window; the first run's lines, an empty line, this run's.
start_voltaro
wait_for_message "Charger plugged"
wait_for_message "--- Voltaro started"
xdotool search --onlyvisible --name '^Welcome to Voltaro$' >/dev/null 2>&1 && fail "welcome window on a second run"

# A second launch meanwhile brings the first forward and leaves at once, log untouched.
before=$(md5sum <"$LOG_FILE")
timeout 10 "$VOLTARO" >"$E2E_WORK/second.out" 2>&1 || fail "a second launch did not leave cleanly"
[ "$(md5sum <"$LOG_FILE")" = "$before" ] || fail "a second launch touched the log"
kill -0 "$VOLTARO_PID" || fail "the first run went away"

stop_voltaro
expected_second=$(printf '%s\n' "$expected_first" "" "--- Voltaro started" "--- Voltaro terminated")
[ "$(log_file_messages)" = "$expected_second" ] || fail "second run saved: $(log_file_messages)"

# --- A large log of any bytes survives byte for byte.
{
    for i in $(seq 1 150000); do
        printf '2025-01-01 00:00:00: Battery stopped charging (current charge = %d%%)\r' $((i % 100))
    done
    printf 'caf\xc3\xa9 \xff\xfe not UTF-8\r'
} >"$LOG_FILE"
cp "$LOG_FILE" "$E2E_WORK/large.before"
start_voltaro
wait_for_window Voltaro >/dev/null
sleep 2
screenshot large-log
stop_voltaro
size=$(stat -c %s "$E2E_WORK/large.before")
cmp -n "$size" "$E2E_WORK/large.before" "$LOG_FILE" || fail "the restored log changed"
# After the restored bytes: the empty line, then this run's lines.
tail -c +$((size + 1)) "$LOG_FILE" | tr '\r' '\n' | sed -E 's/^[0-9-]+ [0-9:]+: //' >"$E2E_WORK/large.after"
# (The charger is still plugged in from the first run and the battery not charging: no
# second start line.)
printf '%s\n' "" "--- Voltaro started" "--- Voltaro terminated" | cmp - "$E2E_WORK/large.after" || fail "the run after the large log: $(cat "$E2E_WORK/large.after")"
echo "PASS: the log survived the runs"
