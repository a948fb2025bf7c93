#!/usr/bin/env bash
# Creates a private test CA and code-signing certificates for Authenticode
# signing with osslsigncode (RAVELIN_SIGNING_CERT / RAVELIN_SIGNING_KEY):
#   ca.pem                  the test CA
#   signer.pem, signer.key  a code-signing certificate issued by the test CA,
#                           followed in signer.pem by the CA (the chain)
#   other.pem, other.key    a second, self-signed code-signing certificate:
#                           a signer that is not the build's
# Only for tests and developer builds; the host trust store is never touched.
# Usage: tools/make-signing-cert.sh FOLDER
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
out=$1
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/signer.cnf" <<CNF
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
CNF

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/ca.key" -out "$out/ca.pem" \
  -days 3650 -subj "/CN=Ravelin Test Code Signing CA" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

openssl req -new -newkey rsa:2048 -nodes -keyout "$out/signer.key" -out "$work/signer.csr" \
  -subj "/CN=Ravelin Test Signer" 2>/dev/null
openssl x509 -req -in "$work/signer.csr" -CA "$out/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
  -CAserial "$work/ca.srl" -days 3650 -sha256 -extfile "$work/signer.cnf" -out "$work/signer.pem" 2>/dev/null
cat "$work/signer.pem" "$out/ca.pem" > "$out/signer.pem"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$out/other.key" -out "$out/other.pem" \
  -days 3650 -subj "/CN=Ravelin Other Signer" -addext "basicConstraints=critical,CA:FALSE" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
chmod 600 "$out/signer.key" "$out/other.key"
