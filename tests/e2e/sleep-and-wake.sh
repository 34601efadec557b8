#!/usr/bin/env bash
# Sleep and wake during a run, told by a fake logind on a private system bus: each lands in
# the log with a fresh charge reading (or without one when no battery is installed), between
# the lines of the polls; the sleep delay inhibitor is let go as soon as the sleep line is
# written and taken again after the wake; SIGTERM saves it all.
VOLTARO=${1:?usage: sleep-and-wake.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
start_system_bus
set_discharging_battery

start_voltaro
dismiss_welcome
wait_for_message "--- Running on battery (current charge = 80%)"
wait_for_inhibitors 1

# With a battery: the charge read at the message, not the one of the last poll.
set_supply AC online=1
wait_for_message "Charger plugged"
set_supply BAT0 energy_now=30000000
fake_logind sleep
wait_for_message "--- System going to sleep... (battery charge = 60%)"
wait_for_inhibitors 0 2
fake_logind wake
wait_for_message "--- System waking up... (battery charge = 60%)"
wait_for_inhibitors 1
screenshot sleep-and-wake

# Without a battery: the lines without a charge.
set_supply BAT0 present=0
rm -f "$E2E_TREE/BAT0/energy_now" "$E2E_TREE/BAT0/current_now" "$E2E_TREE/BAT0/voltage_now"
wait_for_message "Battery removed"
fake_logind sleep
wait_for_message "--- System going to sleep..."
wait_for_inhibitors 0 2
fake_logind wake
wait_for_message "--- System waking up..."
set_supply BAT0 present=1 energy_now=30000000 voltage_now=12000000 current_now=900000
wait_for_message "Battery installed (current charge = 60%)"
# Ready for the next sleep.
wait_for_inhibitors 1

kill -TERM "$VOLTARO_PID"
status=0
wait "$VOLTARO_PID" || status=$?
[ "$status" -eq 0 ] || fail "Voltaro ended with status $status after SIGTERM"

expected=$(cat <<'LINES'
--- Voltaro started
--- Running on battery (current charge = 80%)
Charger plugged
--- System going to sleep... (battery charge = 60%)
--- System waking up... (battery charge = 60%)
Battery removed
--- System going to sleep...
--- System waking up...
Battery installed (current charge = 60%)
--- Voltaro terminated
LINES
)
actual=$(tr '\r' '\n' <"$LOG_FILE" | sed -E 's/^[0-9-]+ [0-9:]+: //')
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "the saved log differs from what happened"
fi
echo "PASS: sleep and wake logged between the polls"
