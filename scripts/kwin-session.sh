# SPDX-License-Identifier: MIT
# Sourced by the test and benchmark runners: starts a headless KWin (one virtual 1280x800
# output, XWayland) for the tests labelled kde, and stops it when the shell exits. It runs under
# its own D-Bus session bus, where it serves org.kde.KWin, ScreenShot2 and KGlobalAccel; the
# tests and the program use that bus. /usr/bin/kwin_wayland carries a file capability that an
# unprivileged container may not exec, so a plain copy of it runs (copying drops it). Under root
# it runs as the unprivileged user kiwano-test, made here when missing.
#
# Tests find it through KIWANO_TEST_KWIN_DISPLAY (the Wayland socket's absolute path),
# KIWANO_TEST_KWIN_X11 (its XWayland display), KIWANO_TEST_KWIN_DBUS (the bus address),
# KIWANO_TEST_KWIN_USER, KIWANO_TEST_KWIN_LOG (KWin's output, where the scripts a test loads
# print) and KIWANO_TEST_KWIN_APPLICATIONS: a folder in KWin's XDG_DATA_DIRS where a test puts
# the desktop files that let its programs use KWin's restricted interfaces (KWin reads them again
# at most 1.5 s after they change). When KWin cannot start,
# KIWANO_TEST_KWIN_SKIP says why.
kiwano_kwin_pid=
kiwano_kwin_dir=
kiwano_kwin_alive() {
  local pid
  for pid; do kill -0 "$pid" 2>/dev/null && return 0; done
  return 1
}
kiwano_kwin_stop() {
  # dbus-run-session ends with KWin and takes the bus with it; the first client stays otherwise.
  # A SIGTERM in KWin's first second can go unheeded: it gets two seconds, then SIGKILL.
  local pids=() pid
  [[ -n "$kiwano_kwin_dir" ]] && pids=($(cat "$kiwano_kwin_dir/kwin.pid" "$kiwano_kwin_dir/client.pid" 2>/dev/null))
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for _ in $(seq 40); do
    kiwano_kwin_alive "${pids[@]}" || break
    sleep 0.05
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  [[ -n "$kiwano_kwin_dir" ]] && rm -rf "$kiwano_kwin_dir"
  return 0
}

kiwano_kwin_start() {
  if [[ ! -x /usr/bin/kwin_wayland ]]; then
    export KIWANO_TEST_KWIN_SKIP="kwin_wayland is not installed (Debian package kwin-wayland)"
    return
  fi
  if ! command -v dbus-run-session >/dev/null; then
    export KIWANO_TEST_KWIN_SKIP="dbus-run-session is not installed"
    return
  fi
  local run=()
  if [[ $(id -u) -eq 0 ]]; then
    if ! id kiwano-test >/dev/null 2>&1 \
        && ! useradd --system --no-create-home --shell /usr/sbin/nologin kiwano-test 2>/dev/null; then
      export KIWANO_TEST_KWIN_SKIP="the user kiwano-test for KWin could not be made"
      return
    fi
    run=(runuser -u kiwano-test --)
  fi
  # XWayland puts its socket there, and wants the folder root's and open to all.
  if [[ ! -d /tmp/.X11-unix && $(id -u) -eq 0 ]]; then
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
  fi
  kiwano_kwin_dir=$(mktemp -d /tmp/kiwano-kwin.XXXXXX)
  local dir=$kiwano_kwin_dir
  mkdir -p "$dir/share/applications" "$dir/config"
  cp /usr/bin/kwin_wayland "$dir/kwin_wayland"
  # The first program KWin starts writes the environment KWin gives its clients (the XWayland
  # display among them) and then stays, since KWin ends nothing it started.
  printf '#!/bin/sh\necho $$ >"%s/client.pid"\nenv >"%s/client.env.part" && mv "%s/client.env.part" "%s/client.env"\nexec sleep 2147483647\n' \
    "$dir" "$dir" "$dir" "$dir" >"$dir/client.sh"
  chmod 755 "$dir/client.sh"
  # No animations: a window is where it goes at once.
  printf '[Compositing]\nAnimationSpeed=0\n[Plugins]\nscreenedgeEnabled=false\n' >"$dir/config/kwinrc"
  [[ ${#run[@]} -gt 0 ]] && chown -R kiwano-test "$dir"
  chmod 755 "$dir"
  chmod 1777 "$dir/share/applications"
  "${run[@]}" env -i PATH="$PATH" HOME="$dir" XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config" \
    XDG_DATA_DIRS="$dir/share:/usr/local/share:/usr/share" XDG_CURRENT_DESKTOP=KDE \
    dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0/bus"; echo $$ >"$0/kwin.pid"; exec "$0/kwin_wayland" --virtual --xwayland \
      --width 1280 --height 800 --socket kiwano-kwin --no-lockscreen "$0/client.sh"' "$dir" \
    >"$dir/kwin.log" 2>&1 &
  kiwano_kwin_pid=$!
  for _ in $(seq 200); do
    [[ -S "$dir/kiwano-kwin" && -s "$dir/client.env" && -s "$dir/bus" ]] && break
    kill -0 "$kiwano_kwin_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [[ ! -s "$dir/client.env" ]]; then
    export KIWANO_TEST_KWIN_SKIP="KWin did not start: $(grep -v '^$' "$dir/kwin.log" 2>/dev/null | tail -1)"
    kiwano_kwin_stop
    kiwano_kwin_pid= kiwano_kwin_dir=
    return
  fi
  export KIWANO_TEST_KWIN_DISPLAY="$dir/kiwano-kwin"
  export KIWANO_TEST_KWIN_X11=$(sed -n 's/^DISPLAY=//p' "$dir/client.env")
  export KIWANO_TEST_KWIN_DBUS=$(cat "$dir/bus")
  export KIWANO_TEST_KWIN_APPLICATIONS="$dir/share/applications"
  export KIWANO_TEST_KWIN_LOG="$dir/kwin.log"
  export KIWANO_TEST_KWIN_USER=$([[ ${#run[@]} -gt 0 ]] && echo kiwano-test || id -un)
}

# Whether any test of the build carries the label kde (the runners start KWin only then).
kiwano_kwin_wanted() {
  [[ -n ${1:-} ]] && ctest --test-dir "$1" -N -L '^kde$' 2>/dev/null | grep -q 'Total Tests: [1-9]'
}

# The traps of the other session scripts are kept: all stop when the shell exits.
trap 'kiwano_kwin_stop; declare -F kiwano_sway_stop >/dev/null && kiwano_sway_stop;
      declare -F kiwano_xvfb_stop >/dev/null && kiwano_xvfb_stop; true' EXIT
if [[ -n ${KIWANO_KWIN_ALWAYS:-} ]] || kiwano_kwin_wanted "${build:-}"; then
  kiwano_kwin_start
else
  export KIWANO_TEST_KWIN_SKIP="no KWin was started for this run (run the tests through scripts/run-tests.sh)"
fi
