# Sourced (bash) by the scripts that take pictures of the program.

# capture X Y W H FILE: saves that region of the X screen as FILE once two
# captures in a row agree (the window has finished painting); after about
# ten seconds of change it saves the last one.
capture() {
  local x=$1 y=$2 w=$3 h=$4 file=$5 tmp i
  tmp="$(mktemp -d)"
  for ((i = 0; i < 50; i++)); do
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$tmp/a.png"
    sleep 0.2
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$tmp/b.png"
    [[ "$(compare -metric AE "$tmp/a.png" "$tmp/b.png" null: 2>&1 || true)" == 0 ]] && break
  done
  convert "$tmp/b.png" -strip -define png:compression-level=9 "$file"
  rm -rf "$tmp"
}
