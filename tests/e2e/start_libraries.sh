#!/usr/bin/env bash
# Every start of the reader loads what it links before main runs. libcurl and
# the TLS, LDAP and SSH libraries it brings cost about 20 ms of the time to the
# first page and 4.5 MB, for an update check that is off by default: the
# reader loads libcurl when it first makes a request, and must not link it.
#   start_libraries.sh QUILLON3
set -euo pipefail
reader=${1:?usage: start_libraries.sh QUILLON3}

# The loader's own list of what a start maps (what ldd prints), without
# running the program.
loaded=$(LD_TRACE_LOADED_OBJECTS=1 "$reader")
echo "$loaded" | grep -q 'libgtk-3' || { echo "FAIL: no library list for $reader" >&2; exit 1; }
if echo "$loaded" | grep -E 'libcurl|libssl|libldap|libssh2' >&2; then
  echo "FAIL: a start of the reader loads the online libraries above" >&2
  exit 1
fi
echo "ok: $(echo "$loaded" | wc -l) libraries at start, none of them libcurl's"
