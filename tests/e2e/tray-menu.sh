#!/usr/bin/env bash
# The tray: with a tray host running (trayer), Voltaro's icon sits in it; a click on the icon
# brings the hidden main window up; a right click pops up the menu of live readings with
# "Show Voltaro" and "Quit"; choosing Quit from the keyboard ends Voltaro through the normal
# termination, so the saved log ends with the termination line.
VOLTARO=${1:?usage: tray-menu.sh path/to/voltaro}
source "$(dirname "$0")/lib.sh"

start_xvfb
start_system_bus
set_discharging_battery
# An earlier run left a log (no welcome window) and closed the window (it starts hidden).
mkdir -p "$HOME/Library/Logs" "$XDG_CONFIG_HOME/Vesk"
: >"$LOG_FILE"
printf '[General]\nstatisticsWindow=false\n' >"$XDG_CONFIG_HOME/Vesk/Voltaro.conf"

# start_tray_host: trayer docked at the top right, growing with the icons it holds.
start_tray_host() {
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        >"$E2E_WORK/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do
        xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "trayer did not start: $(cat "$E2E_WORK/trayer.log")"
}

# voltaro_windows: Voltaro's visible top-level windows, one "id width height" a line.
voltaro_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class voltaro 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
        echo "$id $WIDTH $HEIGHT"
    done
}

# tray_icon_window: the id of Voltaro's icon in the tray, the one small window it has.
tray_icon_window() {
    local id width height
    for _ in $(seq 100); do
        while read -r id width height; do
            if [ "$width" -le 64 ] && [ "$height" -le 64 ]; then
                echo "$id"
                return 0
            fi
        done < <(voltaro_windows)
        sleep 0.1
    done
    fail "no tray icon of Voltaro; its windows: $(voltaro_windows | tr '\n' ';')"
}

# wait_for_popup COUNT_BEFORE: waits until Voltaro shows one more window than before.
wait_for_more_windows() {
    for _ in $(seq 100); do
        [ "$(voltaro_windows | wc -l)" -gt "$1" ] && return 0
        sleep 0.1
    done
    fail "nothing popped up; Voltaro's windows: $(voltaro_windows | tr '\n' ';')"
}

start_tray_host
start_voltaro
icon=$(tray_icon_window)
sleep 0.5
xdotool search --onlyvisible --name '^Voltaro$' >/dev/null 2>&1 && fail "the window showed although it was closed last time"

# A click on the icon brings the window up.
xdotool mousemove --window "$icon" 8 8 click 1
wait_for_window Voltaro >/dev/null
wait_for_message "--- Running on battery (current charge = 80%)"

# A right click pops the menu up. Its texts are the controller's (tested in TrayIconTest and
# AppControllerTest); the screenshot shows them as drawn.
before=$(voltaro_windows | wc -l)
xdotool mousemove --window "$icon" 8 8 click 3
wait_for_more_windows "$before"
sleep 0.5
screenshot tray-menu

# Quit is the menu's last item: Up from the top wraps to it.
xdotool key Up Return
status=0
for _ in $(seq 100); do
    kill -0 "$VOLTARO_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$VOLTARO_PID" 2>/dev/null && fail "Voltaro still runs after Quit"
wait "$VOLTARO_PID" || status=$?
[ "$status" -eq 0 ] || fail "Voltaro ended with status $status after Quit"
last=$(tr '\r' '\n' <"$LOG_FILE" | grep . | tail -1 | sed -E 's/^[0-9-]+ [0-9:]+: //')
[ "$last" = "--- Voltaro terminated" ] || fail "the saved log ends with '$last'"
echo "PASS: the tray icon, its menu and Quit"
