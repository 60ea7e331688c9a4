# SPDX-License-Identifier: MIT
# Sourced by the test and benchmark runners: when no X server is set, starts an Xvfb with a
# window manager for this shell and stops both when the shell exits.
kiwano_xvfb_pids=()
kiwano_xvfb_stop() { for pid in "${kiwano_xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap kiwano_xvfb_stop EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  for n in $(seq 91 140); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    kiwano_xvfb_pids+=($!)
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  # Openbox runs the startup command once it manages new windows (it names itself before that).
  kiwano_wm_ready=$(mktemp -u)
  openbox --sm-disable --startup "touch '$kiwano_wm_ready'" >/dev/null 2>&1 &
  kiwano_xvfb_pids+=($!)
  for _ in $(seq 200); do [[ -e $kiwano_wm_ready ]] && break; sleep 0.05; done
  rm -f "$kiwano_wm_ready"
fi
