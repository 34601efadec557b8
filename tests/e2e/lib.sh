# Shared helpers of the end-to-end tests: a private X server, a private HOME, a fake
# power_supply tree, and reading the log view the way a person would (select all, copy).
set -euo pipefail

E2E_WORK=$(mktemp -d /tmp/voltaro-e2e.XXXXXX)
E2E_TREE=$E2E_WORK/power_supply
E2E_SHOTS=${VOLTARO_E2E_SHOTS:-$E2E_WORK}
mkdir -p "$E2E_TREE" "$E2E_WORK/home" "$E2E_SHOTS"
export HOME=$E2E_WORK/home
export XDG_CONFIG_HOME=$HOME/.config
export XDG_RUNTIME_DIR=$E2E_WORK/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export VOLTARO_POWER_SUPPLY_ROOT=$E2E_TREE
LOG_FILE=$HOME/Library/Logs/Voltaro.log
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

E2E_PIDS=()
e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_WORK/home" "$E2E_TREE"
}
trap e2e_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

start_xvfb() {
    # Each test gets a server of its own on a display number picked at random and claimed
    # through the server's own lock file (/tmp/.X<n>-lock, holding its pid), so tests running
    # side by side never share or disturb one another's display. (-displayfd is no help here:
    # a server probing a display that another one is taking removes the other's socket file.)
    local attempt number pid
    for attempt in $(seq 20); do
        number=$((100 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x700x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break # the number was taken after all: try another
            if [ "$(tr -d '[:space:]' <"/tmp/.X$number-lock" 2>/dev/null)" = "$pid" ] &&
                DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; then
                E2E_PIDS+=("$pid")
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
}

# start_system_bus: a private dbus-daemon standing in for the system bus, with a fake
# systemd-logind (python3-dbusmock's template) on it. Voltaro's launch goes on only when it
# can register for sleep and wake messages, so every run that should show a window needs it.
start_system_bus() {
    start_bus_without_logind
    start_logind
}

# start_bus_without_logind: the private bus alone; DBUS_SYSTEM_BUS_ADDRESS points at it.
start_bus_without_logind() {
    local address_file=$E2E_WORK/system-bus-address
    dbus-daemon --session --nofork --print-address=3 3>"$address_file" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$address_file" ] && break
        sleep 0.1
    done
    [ -s "$address_file" ] || fail "dbus-daemon did not start"
    DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$address_file")
    export DBUS_SYSTEM_BUS_ADDRESS
}

# start_logind: the fake logind on the private bus.
start_logind() {
    /usr/bin/python3 -m dbusmock --system --template logind >>"$E2E_WORK/logind.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 100); do
        [ "$(fake_logind on-bus)" = yes ] && return 0
        sleep 0.1
    done
    fail "the fake logind did not come up: $(cat "$E2E_WORK/logind.log")"
}

# fake_logind on-bus | sleep | wake | inhibitors: asks or drives the fake logind. "inhibitors"
# prints how many sleep delay inhibitors Voltaro holds.
fake_logind() {
    /usr/bin/python3 - "$1" <<'PY'
import os, sys
import dbus
bus = dbus.bus.BusConnection(os.environ['DBUS_SYSTEM_BUS_ADDRESS'])
command = sys.argv[1]
if command == 'on-bus':
    print('yes' if bus.name_has_owner('org.freedesktop.login1') else 'no')
    sys.exit(0)
logind = bus.get_object('org.freedesktop.login1', '/org/freedesktop/login1')
if command in ('sleep', 'wake'):
    logind.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForSleep', 'b',
                      [dbus.Boolean(command == 'sleep')], dbus_interface='org.freedesktop.DBus.Mock')
elif command == 'inhibitors':
    held = logind.ListInhibitors(dbus_interface='org.freedesktop.login1.Manager')
    print(sum(1 for what, who, _, mode, _, _ in held if (what, who, mode) == ('sleep', 'Voltaro', 'delay')))
else:
    sys.exit('fake_logind: unknown command ' + command)
PY
}

# wait_for_inhibitors COUNT [SECONDS]: waits until Voltaro holds that many sleep inhibitors.
wait_for_inhibitors() {
    local deadline=$((SECONDS + ${2:-10})) held
    while ((SECONDS < deadline)); do
        held=$(fake_logind inhibitors)
        [ "$held" = "$1" ] && return 0
        sleep 0.1
    done
    fail "Voltaro holds $held sleep inhibitors, not $1"
}

# write_file PATH VALUE: replaced in one step, as the kernel's files never show half a number.
write_file() {
    mkdir -p "$(dirname "$1")"
    printf '%s\n' "$2" >"$1.tmp" && mv "$1.tmp" "$1"
}

# set_supply NAME KEY=VALUE...
set_supply() {
    local name=$1; shift
    local pair
    for pair in "$@"; do write_file "$E2E_TREE/$name/${pair%%=*}" "${pair#*=}"; done
}

# set_discharging_battery: the charger unplugged, one battery at 80 % running down.
set_discharging_battery() {
    set_supply AC type=Mains online=0
    set_supply BAT0 type=Battery present=1 status=Discharging energy_now=40000000 energy_full=50000000 \
        voltage_now=12000000 current_now=900000
}

start_voltaro() {
    "$VOLTARO" >"$E2E_WORK/voltaro.out" 2>&1 &
    VOLTARO_PID=$!
    E2E_PIDS+=("$VOLTARO_PID")
}

# wait_for_window TITLE: the id of the visible window of that title.
wait_for_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$1'"
}

# log_text: the log view's whole text, selected and copied from the keyboard.
log_text() {
    local window
    window=$(wait_for_window Voltaro)
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool mousemove --window "$window" 200 150 click 1
    printf '' | xclip -selection clipboard
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard 2>/dev/null || true
}

# log_messages [--strict]: the log's lines without their "YYYY-MM-DD hh:mm:ss: " timestamps;
# with --strict, after checking that every line has one.
log_messages() {
    local text
    text=$(log_text)
    if [ "${1:-}" = --strict ] && printf '%s\n' "$text" | grep -v -E '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}: ' | grep -q .; then
        fail "a log line without a timestamp: $text"
    fi
    printf '%s\n' "$text" | sed -E 's/^[0-9-]+ [0-9:]+: //'
}

# wait_for_message TEXT [SECONDS]: waits until the log holds the line.
wait_for_message() {
    local deadline=$((SECONDS + ${2:-15}))
    while ((SECONDS < deadline)); do
        log_messages | grep -qxF -- "$1" && return 0
        sleep 1
    done
    echo "--- log so far:" >&2
    log_messages >&2
    fail "no log line '$1'"
}

# dismiss_welcome: a first run (no log file) opens the welcome window; press its button.
dismiss_welcome() {
    local window
    window=$(wait_for_window "Welcome to Voltaro")
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key Return
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Welcome to Voltaro$' >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the welcome window stayed"
}

screenshot() {
    import -window root "$E2E_SHOTS/$1.png"
    echo "screenshot: $E2E_SHOTS/$1.png"
}
