#!/usr/bin/env bash
# Re-creates the simulator's test certificates in this folder: a test CA, a
# server certificate for 127.0.0.1/localhost signed by it, and one for a
# wrong host name (wrong.example) signed by the same CA. Test use only; the
# keys are not secret.
set -euo pipefail
cd "$(dirname "$0")"
days=36500
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days "$days" \
  -subj "/CN=sorvex-sim test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout ca.key -out ca.pem 2>/dev/null

issue() {  # name subject-alt-names common-name
  openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=$3" -keyout "$1.key" -out "$tmp/$1.csr" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' "$2" > "$tmp/$1.ext"
  openssl x509 -req -in "$tmp/$1.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -CAserial "$tmp/ca.srl" \
    -days "$days" -sha256 -extfile "$tmp/$1.ext" -out "$1.pem" 2>/dev/null
}
issue server "IP:127.0.0.1,DNS:localhost" localhost
issue wronghost "DNS:wrong.example" wrong.example
chmod 644 ./*.key ./*.pem
echo "made ca.pem, server.pem/.key, wronghost.pem/.key in $(pwd)"
