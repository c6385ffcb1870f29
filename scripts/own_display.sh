# Sourced by the measuring scripts: without DISPLAY, starts an Xvfb of the script's own and exports its
# DISPLAY; `xvfb` is then its process id for the script's exit to stop, otherwise empty.
xvfb=
if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb=$!
  i=0
  while [ ! -s "$display_file" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$display_file" ] || { echo "cannot start Xvfb" >&2; kill $xvfb; exit 1; }
  DISPLAY=":$(head -n 1 "$display_file")"
  export DISPLAY
  rm -f "$display_file"
fi
