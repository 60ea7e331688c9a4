# SPDX-License-Identifier: MIT
# Sourced by the test and benchmark runners: starts a headless GNOME Shell (one 1280x960 virtual
# monitor, XWayland) for the tests labelled gnome, and stops it when the shell exits. Like sway it
# runs as the unprivileged user kiwano-test under root, under dbus-run-session with a private
# system bus of its own. Before it starts, Kiwano Snapper's shell extension (when built into
# KIWANO_GNOME_EXTENSION_DIR, else the source's) and the test harness's extension (which leaves the
# Overview and lets the tests ask the shell what it shows) are installed and enabled; a helper
# holds a Mutter remote desktop session so that the seat has a keyboard and a pointer
# (tests/e2e/gnome/seat.py), and GNOME's media-keys daemon runs the custom shortcuts. Tests find it through KIWANO_TEST_GNOME_WAYLAND_DISPLAY,
# KIWANO_TEST_GNOME_DISPLAY and KIWANO_TEST_GNOME_XAUTHORITY (XWayland), KIWANO_TEST_GNOME_BUS (its session bus),
# KIWANO_TEST_GNOME_RUNTIME and KIWANO_TEST_GNOME_USER; when it cannot start,
# KIWANO_TEST_GNOME_SKIP says why. gnome-shell's exit status means nothing here (it may crash on
# SIGTERM), so it is never read.
kiwano_gnome_pid=
kiwano_gnome_dir=
kiwano_gnome_stop() {
  if [[ -n "$kiwano_gnome_pid" ]]; then
    # The whole group: dbus-run-session, both buses, the shell, XWayland and the seat helper.
    kill -TERM -- "-$kiwano_gnome_pid" 2>/dev/null
    for _ in $(seq 40); do kill -0 -- "-$kiwano_gnome_pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL -- "-$kiwano_gnome_pid" 2>/dev/null || true
  fi
  [[ -n "$kiwano_gnome_dir" ]] && rm -rf "$kiwano_gnome_dir"
  kiwano_gnome_pid= kiwano_gnome_dir=
  return 0
}

kiwano_gnome_fail() {
  export KIWANO_TEST_GNOME_SKIP="$1"
  kiwano_gnome_stop
}

kiwano_gnome_start() {
  local source
  source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if ! command -v gnome-shell >/dev/null || [[ ! -x /usr/bin/python3 ]]; then
    export KIWANO_TEST_GNOME_SKIP="gnome-shell or python3 is not installed"
    return
  fi
  local run=() user
  user=$(id -un)
  if [[ $(id -u) -eq 0 ]]; then
    if ! id kiwano-test >/dev/null 2>&1 \
        && ! useradd --system --no-create-home --shell /usr/sbin/nologin kiwano-test 2>/dev/null; then
      export KIWANO_TEST_GNOME_SKIP="the user kiwano-test could not be made to run the shell"
      return
    fi
    run=(runuser -u kiwano-test --)
    user=kiwano-test
    # XWayland needs the X11 socket folder as X servers keep it.
    if [[ ! -d /tmp/.X11-unix ]]; then mkdir -m 1777 /tmp/.X11-unix; fi
  fi
  if [[ ! -d /tmp/.X11-unix || $(stat -c %a /tmp/.X11-unix) != 1777 ]]; then
    export KIWANO_TEST_GNOME_SKIP="XWayland needs /tmp/.X11-unix with mode 1777"
    return
  fi
  kiwano_gnome_dir=$(mktemp -d /tmp/kiwano-gnome.XXXXXX)
  local d=$kiwano_gnome_dir
  local extensions=$d/home/.local/share/gnome-shell/extensions
  mkdir -p "$extensions" "$d/runtime" "$d/home/.config"
  cp -r "$source/tests/e2e/gnome/kiwano-test-harness@kiwanosnapper.org" "$extensions/"
  local ours=${KIWANO_GNOME_EXTENSION_DIR:-$source/resources/gnome-shell/kiwano-snapper@kiwanosnapper.org}
  local enabled="'kiwano-test-harness@kiwanosnapper.org'"
  if [[ -f $ours/metadata.json ]]; then
    cp -r "$ours" "$extensions/"
    enabled+=", 'kiwano-snapper@kiwanosnapper.org'"
  fi
  cp "$source/tests/e2e/gnome/seat.py" "$d/seat.py"
  cat >"$d/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$d/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  # Runs inside dbus-run-session: writes the bus address, sets the shell's settings, then starts
  # the shell and, once it answers, the seat helper.
  cat >"$d/session.sh" <<SESSION
#!/bin/bash
echo "\$DBUS_SESSION_BUS_ADDRESS" >"$d/bus"
gsettings set org.gnome.shell enabled-extensions "[$enabled]"
gsettings set org.gnome.shell disable-extension-version-validation true
gsettings set org.gnome.desktop.interface enable-animations false
gsettings set org.gnome.desktop.session idle-delay 0
gsettings set org.gnome.desktop.screensaver lock-enabled false
gnome-shell --headless --wayland --virtual-monitor 1280x960 >"$d/shell.log" 2>&1 &
for _ in \$(seq 200); do
  gdbus introspect --session --dest org.gnome.Mutter.RemoteDesktop \
    --object-path /org/gnome/Mutter/RemoteDesktop >/dev/null 2>&1 && break
  sleep 0.05
done
/usr/bin/python3 "$d/seat.py" >"$d/seat.log" 2>&1 &
# GNOME's custom shortcuts run through its media-keys daemon.
[[ -x /usr/libexec/gsd-media-keys ]] && /usr/libexec/gsd-media-keys >"$d/media-keys.log" 2>&1 &
wait
SESSION
  chmod 755 "$d/session.sh"
  [[ ${#run[@]} -gt 0 ]] && chown -R kiwano-test "$d"
  chmod 700 "$d" "$d/runtime"
  chmod 711 "$d"
  setsid "${run[@]}" env -i PATH="$PATH" HOME="$d/home" XDG_RUNTIME_DIR="$d/runtime" \
    XDG_CONFIG_HOME="$d/home/.config" XDG_DATA_HOME="$d/home/.local/share" \
    XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland LANG=C.UTF-8 \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$d/system-bus" \
    bash -c "dbus-daemon --config-file='$d/system.conf' --nofork --nopidfile & exec dbus-run-session -- '$d/session.sh'" \
    >"$d/session.log" 2>&1 &
  kiwano_gnome_pid=$!
  local seat=
  for _ in $(seq 300); do
    grep -q ready "$d/seat.log" 2>/dev/null && { seat=1; break; }
    kill -0 "$kiwano_gnome_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [[ -z $seat ]]; then
    kiwano_gnome_fail "gnome-shell did not start: $(grep -v '^$' "$d/shell.log" "$d/seat.log" 2>/dev/null | tail -1)"
    return
  fi
  export KIWANO_TEST_GNOME_BUS=$(cat "$d/bus")
  export KIWANO_TEST_GNOME_RUNTIME=$d/runtime
  export KIWANO_TEST_GNOME_WAYLAND_DISPLAY=$d/runtime/wayland-0
  export KIWANO_TEST_GNOME_USER=$user
  export KIWANO_TEST_GNOME_DIR=$d
  # The shell's answer to Eval is "(true, 'VALUE')"; the harness extension lets us ask.
  local display= overview=
  for _ in $(seq 100); do
    display=$(gnome_eval 'GLib.getenv("DISPLAY")')
    overview=$(gnome_eval 'Main.overview.visible')
    [[ -n $display && $overview == false ]] && break
    sleep 0.05
  done
  if [[ -z $display || $overview != false ]]; then
    kiwano_gnome_fail "gnome-shell started but its XWayland or the harness did not answer (display '$display', overview '$overview')"
    return
  fi
  export KIWANO_TEST_GNOME_DISPLAY=$display
  export KIWANO_TEST_GNOME_XAUTHORITY=$(gnome_eval 'GLib.getenv("XAUTHORITY")')
  unset KIWANO_TEST_GNOME_SKIP
}

# gnome_eval JAVASCRIPT: what the shell makes of it (shared with the end-to-end tests).
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib-gnome-eval.sh"

# Whatever the shell already does on exit (stopping Xvfb, sway) still happens, after this.
kiwano_gnome_previous_trap=$(trap -p EXIT)
kiwano_gnome_previous_trap=${kiwano_gnome_previous_trap#trap -- \'}
kiwano_gnome_previous_trap=${kiwano_gnome_previous_trap%\' EXIT}
trap "kiwano_gnome_stop; $kiwano_gnome_previous_trap" EXIT
kiwano_gnome_start || true
