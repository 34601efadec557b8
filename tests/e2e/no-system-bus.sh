#!/usr/bin/env bash
# Without sleep and wake messages (no system bus, or a bus without logind) the launch stops
# after the start lines: the main window never shows. Voltaro still runs, polls, and saves
# its log on SIGTERM.
VOLTARO=${1:?usage: no-system-bus.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
set_discharging_battery

# run_without_logind REASON: one run; REASON is the console's explanation to wait for.
run_without_logind() {
    # A log from before, so that no welcome window comes up either.
    mkdir -p "$(dirname "$LOG_FILE")"
    printf '2025-01-01 00:00:00: --- Voltaro terminated\r' >"$LOG_FILE"
    set_supply AC online=0
    start_voltaro
    local deadline=$((SECONDS + 15))
    until grep -qF -- "$1" "$E2E_WORK/voltaro.out"; do
        ((SECONDS < deadline)) || fail "no '$1' on the console: $(cat "$E2E_WORK/voltaro.out")"
        kill -0 "$VOLTARO_PID" 2>/dev/null || fail "Voltaro ended: $(cat "$E2E_WORK/voltaro.out")"
        sleep 0.1
    done
    # The polls go on: the charger shows up in the saved log.
    set_supply AC online=1
    sleep 7 # more than one poll interval, and time for a window that should not come
    xdotool search --onlyvisible --name '^Voltaro$' >/dev/null 2>&1 && fail "the main window showed"
    kill -0 "$VOLTARO_PID" 2>/dev/null || fail "Voltaro ended: $(cat "$E2E_WORK/voltaro.out")"

    kill -TERM "$VOLTARO_PID"
    local status=0
    wait "$VOLTARO_PID" || status=$?
    [ "$status" -eq 0 ] || fail "Voltaro ended with status $status after SIGTERM"
    local expected actual
    expected=$(printf '%s\n' "--- Voltaro terminated" "" "--- Voltaro started" \
        "--- Running on battery (current charge = 80%)" "Charger plugged" "--- Voltaro terminated")
    actual=$(tr '\r' '\n' <"$LOG_FILE" | sed -E 's/^[0-9-]+ [0-9:]+: //')
    [ "$actual" = "$expected" ] || fail "saved log: $actual"
}

export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$E2E_WORK/no-bus-here
run_without_logind "cannot connect to the system bus"

start_bus_without_logind
run_without_logind "systemd-logind is not on the system bus"
echo "PASS: no sleep and wake messages, no window, log saved"
