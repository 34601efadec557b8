#!/usr/bin/env bash
# The real program on a fake battery: its log follows an unplug, a plug with charging,
# a removal and a reinsertion, one line per change, in order.
VOLTARO=${1:?usage: poll-follows-battery.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
start_system_bus
set_supply AC type=Mains online=1
set_supply BAT0 type=Battery present=1 status=Charging energy_now=30000000 energy_full=50000000 \
    voltage_now=12100000 current_now=1500000
start_voltaro
dismiss_welcome

wait_for_message "--- Voltaro started"
wait_for_message "--- Battery charging (current charge = 60%)"

set_supply AC online=0
set_supply BAT0 status=Discharging energy_now=29000000
wait_for_message "Battery stopped charging (current charge = 57%)"

set_supply AC online=1
set_supply BAT0 status=Charging
wait_for_message "Battery started charging (current charge = 57%)"
screenshot poll-follows-battery

set_supply BAT0 present=0
rm -f "$E2E_TREE/BAT0/energy_now" "$E2E_TREE/BAT0/current_now" "$E2E_TREE/BAT0/voltage_now"
wait_for_message "Battery removed"

set_supply BAT0 present=1 status=Charging energy_now=25000000 voltage_now=12000000 current_now=1000000
wait_for_message "Battery installed (current charge = 50%)"

expected=$(cat <<'LINES'
--- Voltaro started
--- Battery charging (current charge = 60%)
Charger unplugged
Battery stopped charging (current charge = 57%)
Charger plugged
Battery started charging (current charge = 57%)
Battery removed
Battery installed (current charge = 50%)
Battery started charging (current charge = 50%)
LINES
)
actual=$(log_messages --strict)
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "the log differs from what happened"
fi
kill -0 "$VOLTARO_PID" || fail "Voltaro is no longer running"
echo "PASS: the log followed the battery"
