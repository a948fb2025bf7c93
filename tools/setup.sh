#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need, and
# generates the ja_JP.UTF-8 locale. Where the machine executes 32-bit x86 code
# (tools/can-run-32bit), it also adds Debian's i386 architecture and installs
# the 32-bit Wine with the X client libraries it opens windows with; elsewhere
# it installs nothing 32-bit. Idempotent: returns quickly when all is present.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake ninja-build python3 openssl procps binutils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth x11-utils
  locales fonts-ipafont-gothic
  googletest
  wixl msitools imagemagick xdotool
  osslsigncode
)

# The 32-bit Wine, and what it needs beyond its dependencies to open windows
# and to speak TLS.
packages32=(
  wine32:i386 libgnutls30:i386
  libx11-6:i386 libxext6:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Installs those of the named packages that are not installed yet.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

install_missing "${packages[@]}"

if answer=$("$here/can-run-32bit"); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    as_root dpkg --add-architecture i386
  fi
  install_missing "${packages32[@]}"
else
  echo "setup: nothing 32-bit installed: ${answer#no: }"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
