#!/usr/bin/env bash
# On a machine without any battery information the program says so in a critical alert
# and quits when it is dismissed.
VOLTARO=${1:?usage: no-battery-information.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
start_system_bus
set_supply AC type=Mains online=1
start_voltaro

alert=$(wait_for_window "No battery information is available for this system!")
screenshot no-battery-information
xdotool windowfocus --sync "$alert" 2>/dev/null || true
xdotool key Return
for _ in $(seq 50); do
    kill -0 "$VOLTARO_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$VOLTARO_PID" 2>/dev/null && fail "Voltaro still runs after the alert"
wait "$VOLTARO_PID" || fail "Voltaro exited with status $?"
[ ! -e "$HOME/Library/Logs/Voltaro.log" ] || fail "a log file was written"
echo "PASS: alert shown, program quit"
