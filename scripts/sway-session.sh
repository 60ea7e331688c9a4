# SPDX-License-Identifier: MIT
# Sourced by the test and benchmark runners: starts a headless sway (one 1280x720 output, pixman
# rendering, no input devices) for the tests labelled wayland, and stops it when the shell exits.
# sway refuses to run as root, so under root it runs as the unprivileged user kiwano-test, made
# here when missing. Tests find it through KIWANO_TEST_WAYLAND_DISPLAY (the socket's absolute
# path) and KIWANO_TEST_SWAYSOCK; when it cannot start, KIWANO_TEST_WAYLAND_SKIP says why.
kiwano_sway_pid=
kiwano_sway_dir=
kiwano_sway_stop() {
  [[ -n "$kiwano_sway_pid" ]] && kill "$kiwano_sway_pid" 2>/dev/null
  # Under root, runuser does not hand the signal on: sway itself is found by its config.
  [[ -n "$kiwano_sway_dir" ]] && { pkill -f "^sway -c $kiwano_sway_dir/config" 2>/dev/null || true; }
  [[ -n "$kiwano_sway_dir" ]] && rm -rf "$kiwano_sway_dir"
  return 0
}

kiwano_sway_start() {
  if ! command -v sway >/dev/null; then
    export KIWANO_TEST_WAYLAND_SKIP="sway is not installed"
    return
  fi
  local run=()
  if [[ $(id -u) -eq 0 ]]; then
    if ! id kiwano-test >/dev/null 2>&1 \
        && ! useradd --system --no-create-home --shell /usr/sbin/nologin kiwano-test 2>/dev/null; then
      export KIWANO_TEST_WAYLAND_SKIP="sway will not run as root and the user kiwano-test could not be made"
      return
    fi
    run=(runuser -u kiwano-test --)
  fi
  kiwano_sway_dir=$(mktemp -d /tmp/kiwano-sway.XXXXXX)
  cat >"$kiwano_sway_dir/config" <<'CONFIG'
output HEADLESS-1 resolution 1280x720 position 0 0 scale 1
output * background #2b1d14 solid_color
default_border none
focus_follows_mouse no
CONFIG
  [[ ${#run[@]} -gt 0 ]] && chown -R kiwano-test "$kiwano_sway_dir"
  chmod 700 "$kiwano_sway_dir"
  "${run[@]}" env -i PATH="$PATH" HOME="$kiwano_sway_dir" XDG_RUNTIME_DIR="$kiwano_sway_dir" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$kiwano_sway_dir/config" >"$kiwano_sway_dir/sway.log" 2>&1 &
  kiwano_sway_pid=$!
  local socket=
  for _ in $(seq 100); do
    socket=$(find "$kiwano_sway_dir" -maxdepth 1 -name 'wayland-*' -type s 2>/dev/null | head -1)
    [[ -n "$socket" ]] && compgen -G "$kiwano_sway_dir/sway-ipc.*.sock" >/dev/null && break
    kill -0 "$kiwano_sway_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [[ -z "$socket" ]]; then
    export KIWANO_TEST_WAYLAND_SKIP="sway did not start: $(tail -1 "$kiwano_sway_dir/sway.log" 2>/dev/null)"
    kiwano_sway_stop
    kiwano_sway_pid= kiwano_sway_dir=
    return
  fi
  export KIWANO_TEST_WAYLAND_DISPLAY="$socket"
  export KIWANO_TEST_SWAYSOCK=$(compgen -G "$kiwano_sway_dir/sway-ipc.*.sock" | head -1)
  export KIWANO_TEST_WAYLAND_USER=$([[ ${#run[@]} -gt 0 ]] && echo kiwano-test || id -un)
}

# The Xvfb script's own trap is kept: both stop when the shell exits.
trap 'kiwano_sway_stop; if declare -F kiwano_xvfb_stop >/dev/null; then kiwano_xvfb_stop; fi; true' EXIT
kiwano_sway_start
