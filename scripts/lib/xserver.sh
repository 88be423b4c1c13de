# Sourced by scripts that run the program on a private X server.
#
# start_xvfb NAME: starts Xvfb (1024x768, no TCP) on a free display, adds it
# to $pids for the caller's clean-up, and exports DISPLAY; NAME prefixes the
# message when the server does not come up.
# waitfor SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds;
# false when SECONDS pass first.

start_xvfb() {
  local number
  exec 3<> >(:)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  read -r -t 10 number <&3 || { echo "$1: Xvfb did not start" >&2; exit 1; }
  exec 3>&-
  export DISPLAY=":$number"
}

waitfor() {
  local tries=$(($1 * 5)); shift
  for _ in $(seq 1 "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
