# Sourced by the scripts that run under Xvfb: starts openbox and returns once it manages windows.
# Openbox names itself on the root window before it handles map requests, so a window mapped
# right after that can stay unmanaged, and SDL then waits forever for it to appear; --startup
# runs only when openbox is fully up. Sets window_manager_pid.
start_window_manager() {
  local marker
  marker=$(mktemp -u)
  openbox --startup "touch $marker" >/dev/null 2>&1 &
  window_manager_pid=$!
  for _ in $(seq 100); do
    [ -e "$marker" ] && break
    sleep 0.05
  done
  rm -f "$marker"
}
