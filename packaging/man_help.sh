#!/bin/sh
# help2man reads a program's --help and --version through this, with the program in VELMORA_MAN_PROGRAM:
# the further usage lines become help2man's "or:" lines, and the version line starts with the program's
# own command name, which help2man takes for the page's name.
program=$VELMORA_MAN_PROGRAM
name=$(basename "$program")
text=$("$program" "$1") || exit
case $1 in
  --version) printf '%s %s\n' "$name" "${text##* }" ;;
  *) printf '%s\n' "$text" | sed -E "s/^ +($name )/   or: \\1/" ;;
esac
