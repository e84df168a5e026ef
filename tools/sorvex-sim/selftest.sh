#!/usr/bin/env bash
# Self-test of the simulator with curl: starts it on free loopback ports,
# checks the replies the clients parse, the injected faults, HTTPS, the proxy
# and the request log, and stops it again.
set -uo pipefail
sim=${1:?usage: selftest.sh PATH-TO-sorvex-sim}
here=$(cd "$(dirname "$0")" && pwd)
certs=$here/testcerts
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
failures=0
check() {  # name expected actual
  if [[ "$3" == "$2" ]]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

start() {  # out-file args...
  local out=$1; shift
  "$sim" "$@" >"$out" 2>"$work/stderr" &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $out ]] && return 0; sleep 0.02; done
  echo "simulator did not start: $(cat "$work/stderr")"; exit 1
}

cat >"$work/s.json" <<'JSON'
{
  "security": true,
  "users": [ {"name": "alice", "password": "a b&c", "id": 3, "fullName": "Alice A", "email": "a@example.org"},
             {"name": "bob", "password": "pw", "id": 4, "permissions": [19]} ],
  "session": {"expireAfterRequests": 2},
  "proxy": {"user": "pu", "password": "ppw"},
  "faults": [ {"match": "ms-geterror.exe?9", "status": 401, "times": 2},
              {"match": "ms-geterror.exe?8", "reply": "drop"},
              {"match": "ms-geterror.exe?7", "reply": "truncated"},
              {"match": "ms-geterror.exe?6", "reply": "empty"},
              {"match": "ms-geterror.exe?5", "hold": true, "times": 1} ]
}
JSON
start "$work/ports" --port 0 --scenario "$work/s.json" --log "$work/log" \
  --https-port 0 --cert "$certs/server.pem" --key "$certs/server.key" --proxy-port 0
sleep 0.1
http=$(sed -n 1p "$work/ports"); https=$(sed -n 2p "$work/ports"); proxy=$(sed -n 3p "$work/ports")
base=http://127.0.0.1:$http/sorvex/cgi/
login="login.pl?display=nothing&onerrdisplay=nothing&action="
get() { curl -s "$@" | tr -d '\r'; }

check "three ports" 3 "$(wc -l <"$work/ports" | tr -d ' ')"
check "version" "Version 2.2.101" "$(get "${base}client.pl?version")"
check "security enabled" "error=-3" "$(get "${base}${login}issecuritydisabled" | head -1)"
check "user name needed" "error=-4" "$(get "${base}${login}login&username=&password=" | head -1)"
reply=$(get "${base}${login}login&username=alice&password=a+b%26c")
id=$(sed -n 's/^sessionID=//p' <<<"$reply")
check "login" "error=0" "$(head -1 <<<"$reply")"
check "permitted echoes id" "sessionID=$id" "$(get "${base}${login}ispermitted&sessionID=$id&sectask=22" | tail -1)"
check "user list" '"alice","3","0","Alice A","a@example.org"' "$(get "${base}get_params.pl?Show=MS_USERS&sessionID=$id" | head -1)"
check "session lapsed" "error=-2" "$(get "${base}get_params.pl?sessionID=$id" | head -1)"
bob=$(get "${base}${login}login&username=bob&password=pw" | sed -n 's/^sessionID=//p')
check "not permitted" "error=-6" "$(get "${base}${login}ispermitted&sessionID=$bob&sectask=22" | head -1)"
check "parameters need a session" "error=-2" "$(get "${base}get_params.pl" | head -1)"
check "error text" "Out of memory" "$(get "${base}ms-geterror.exe?1")"

codes=""
for _ in 1 2 3; do codes+="$(curl -s -o /dev/null -w '%{http_code}' "${base}ms-geterror.exe?9") "; done
check "401 twice" "401 401 200 " "$codes"
curl -s -o /dev/null "${base}ms-geterror.exe?8"; check "dropped connection" 52 $?
curl -s -o /dev/null "${base}ms-geterror.exe?7"; check "truncated body" 18 $?
check "empty body" "200:0" "$(curl -s -o /dev/null -w '%{http_code}:%{size_download}' "${base}ms-geterror.exe?6")"
# A held reply comes only once the test lets it go; other requests pass meanwhile.
curl -s -o "$work/held" -w '%{http_code}' "${base}ms-geterror.exe?5" >"$work/held.code" &
held=$!
for _ in $(seq 200); do grep -q "ms-geterror.exe?5" "$work/log" 2>/dev/null && break; sleep 0.05; done
check "held reply still out" "running" "$(kill -0 $held 2>/dev/null && echo running)"
check "others pass a held reply" 200 "$(curl -s -o /dev/null -w '%{http_code}' "${base}client.pl?version")"
check "release" "ok" "$(get "http://127.0.0.1:$http/_sim/release")"
wait $held
check "held reply after the release" 200 "$(cat "$work/held.code")"
check "unknown program" 404 "$(curl -s -o /dev/null -w '%{http_code}' "${base}nothing.pl")"

check "https" "Version 2.2.101" "$(get --cacert "$certs/ca.pem" "https://127.0.0.1:$https/sorvex/cgi/client.pl?version")"
check "proxy demands credentials" 407 "$(curl -s -o /dev/null -w '%{http_code}' -x "http://127.0.0.1:$proxy" "${base}client.pl?version")"
check "proxy passes on" "Version 2.2.101" "$(get -x "http://127.0.0.1:$proxy" -U pu:ppw "${base}client.pl?version")"
check "proxy stays on loopback" 403 "$(curl -s -o /dev/null -w '%{http_code}' -x "http://127.0.0.1:$proxy" -U pu:ppw http://example.com/)"

check "log line" "http	GET	/sorvex/cgi/client.pl?version	HTTP/1.1	auth=none	proxyauth=none	body=0	status=200	fault=none	agent=selftest 1" \
  "$(curl -s -o /dev/null -A 'selftest 1' "${base}client.pl?version"; tail -1 "$work/log")"
check "proxied request logged by both" "2" "$(grep -c 'proxyauth=basic:pu' "$work/log")"

echo '{"version": "2.3", "security": false}' >"$work/s.json"
check "reload" "ok" "$(get "http://127.0.0.1:$http/_sim/reload")"
check "reloaded version" "Version 2.3" "$(get "${base}client.pl?version")"
echo '{"versoin": "2.4"}' >"$work/s.json"
check "bad reload refused" 500 "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$http/_sim/reload")"
check "old scenario kept" "Version 2.3" "$(get "${base}client.pl?version")"

# A certificate for another host name fails curl's host check.
start "$work/ports2" --port 0 --https-port 0 --cert "$certs/wronghost.pem" --key "$certs/wronghost.key"
sleep 0.1
curl -s -o /dev/null --cacert "$certs/ca.pem" "https://127.0.0.1:$(sed -n 2p "$work/ports2")/sorvex/cgi/client.pl?version"
check "wrong host name refused" 60 $?
check "quit" "bye" "$(get "http://127.0.0.1:$(sed -n 1p "$work/ports2")/_sim/quit")"

"$sim" --port 0 --scenario /nonexistent.json >/dev/null 2>&1; check "missing scenario" 2 $?

exit $((failures > 0))
