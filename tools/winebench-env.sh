# The environment of every Wine process of the bench kept in $1.
# Sourced by winebench and winerun.
export WINEPREFIX="$1/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# The architecture the bench's prefix was made for (winebench start --arch).
if [ -f "$1/arch" ]; then export WINEARCH; WINEARCH=$(cat "$1/arch"); else unset WINEARCH; fi
if [ -f "$1/display" ]; then export DISPLAY; DISPLAY=$(cat "$1/display"); fi
