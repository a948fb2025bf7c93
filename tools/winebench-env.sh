# The environment of every Wine process of the bench kept in $1.
# Sourced by winebench and winerun.
export WINEPREFIX="$1/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset WINEARCH
if [ -f "$1/display" ]; then export DISPLAY; DISPLAY=$(cat "$1/display"); fi
