# SPDX-License-Identifier: MIT
# Sourced by the test and benchmark runners: when no X server is set, starts an Xvfb with a
# window manager for this shell and stops both when the shell exits.
kiwano_xvfb_pids=()
kiwano_xvfb_stop() { for pid in "${kiwano_xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap kiwano_xvfb_stop EXIT

if [[ -z "${DISPLAY:-}" ]]; then
  # The server takes a free display number itself: runs started at once never share one (a
  # test's keys would land in the other run's windows).
  kiwano_xvfb_fd=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$kiwano_xvfb_fd" >/dev/null 2>&1 &
  kiwano_xvfb_pids+=($!)
  for _ in $(seq 200); do [[ -s $kiwano_xvfb_fd ]] && break; sleep 0.05; done
  export DISPLAY=":$(head -1 "$kiwano_xvfb_fd")"
  rm -f "$kiwano_xvfb_fd"
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  # Openbox runs the startup command once it manages new windows (it names itself before that).
  kiwano_wm_ready=$(mktemp -u)
  openbox --sm-disable --startup "touch '$kiwano_wm_ready'" >/dev/null 2>&1 &
  kiwano_xvfb_pids+=($!)
  for _ in $(seq 200); do [[ -e $kiwano_wm_ready ]] && break; sleep 0.05; done
  rm -f "$kiwano_wm_ready"
fi
