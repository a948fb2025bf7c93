#!/usr/bin/env bash
# Creates a private test CA and server certificates signed by it, for the
# stand-in update service's HTTPS tests:
#   ca.pem                 the test CA (trust it in the client only)
#   server.key             the key of every server certificate below
#   valid.pem              DNS:localhost, valid now
#   expired.pem            DNS:localhost, expired in 2020
#   wronghost.pem          DNS:wronghost.invalid, valid now
#   untrusted.pem          DNS:localhost, self-signed (not from the test CA)
# The host trust store is never touched.
# Usage: tools/make-test-ca.sh FOLDER
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
out=$1
mkdir -p "$out"
out=$(cd "$out" && pwd)
# `openssl ca` keeps a database; it lives in a throw-away folder.
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
touch "$db/index.txt"
cat > "$db/ca.cnf" <<EOF
[ca]
default_ca = testca
[testca]
database = $db/index.txt
new_certs_dir = $db
serial = $db/serial
certificate = $out/ca.pem
private_key = $db/ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = none
[anything]
commonName = supplied
[localhost]
subjectAltName = DNS:localhost
basicConstraints = CA:FALSE
extendedKeyUsage = serverAuth
[wronghost]
subjectAltName = DNS:wronghost.invalid
basicConstraints = CA:FALSE
extendedKeyUsage = serverAuth
EOF

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$db/ca.key" -out "$out/ca.pem" \
  -days 3650 -subj "/CN=Ravelin Test CA" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -new -newkey rsa:2048 -nodes -keyout "$out/server.key" -out "$db/localhost.csr" \
  -subj "/CN=localhost" 2>/dev/null
openssl req -new -key "$out/server.key" -out "$db/wronghost.csr" -subj "/CN=wronghost.invalid"

# openssl 3.0 has no x509 -not_before/-not_after; `openssl ca` sets past dates.
sign() { # csr extensions output [date options]
  local csr=$1 ext=$2 cert=$3
  shift 3
  openssl rand -hex 16 > "$db/serial"
  openssl ca -batch -notext -config "$db/ca.cnf" -extfile "$db/ca.cnf" -extensions "$ext" \
    -in "$csr" -out "$cert" "$@" 2>/dev/null
}
# Valid from yesterday so a clock a little behind still accepts them.
from=$(date -u -d yesterday +%Y%m%d%H%M%SZ)
sign "$db/localhost.csr" localhost "$out/valid.pem" -startdate "$from" -days 825
sign "$db/localhost.csr" localhost "$out/expired.pem" -startdate 20200101000000Z -enddate 20200102000000Z
sign "$db/wronghost.csr" wronghost "$out/wronghost.pem" -startdate "$from" -days 825
openssl req -x509 -key "$out/server.key" -out "$out/untrusted.pem" -days 825 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost" 2>/dev/null
