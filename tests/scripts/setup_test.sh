#!/usr/bin/env bash
# Runs scripts/setup on a stand-in machine where every package is missing: dpkg-query knows nothing,
# apt-get only records what it is asked, and the service policy file may or may not exist already.
set -uo pipefail
setup="$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin="$work/bin"
mkdir -p "$bin"
cat >"$bin/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$bin/apt-get" <<'STUB'
#!/bin/sh
echo "$*" >>"$STUB_LOG"
[ "$1" = install ] && [ -n "${STUB_POLICY:-}" ] && [ ! -e "$STUB_POLICY" ] && echo "policy missing during install" >>"$STUB_LOG"
[ "$1" = install ] && exit "${STUB_INSTALL_STATUS:-0}"
exit 0
STUB
cat >"$bin/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
chmod +x "$bin"/*
failures=0
check() { if ! eval "$2"; then echo "FAILED: $1" >&2; failures=$((failures + 1)); fi; }

run() {
  STUB_LOG="$work/log" STUB_POLICY="$work/policy-rc.d" VELKIN_POLICY_RC="$work/policy-rc.d" \
    PATH="$bin:$PATH" "$setup" >"$work/out" 2>&1
}

# The policy file exists before: the install succeeds and so must the script, leaving the file alone.
printf '#!/bin/sh\nexit 101\n' >"$work/policy-rc.d"
: >"$work/log"
run; status=$?
check "succeeds when the policy file existed" '[ $status -eq 0 ]'
check "installs the missing packages" 'grep -q "^install .*qt6-base-dev" "$work/log"'
check "keeps a policy file it did not make" '[ -e "$work/policy-rc.d" ]'

# No policy file: one is in place while installing and gone afterwards.
rm -f "$work/policy-rc.d"
: >"$work/log"
run; status=$?
check "succeeds when it made the policy file" '[ $status -eq 0 ]'
check "the policy file is there during the install" '! grep -q "policy missing" "$work/log"'
check "removes the policy file it made" '[ ! -e "$work/policy-rc.d" ]'

# A failed install fails the script, with a message that says so.
: >"$work/log"
STUB_INSTALL_STATUS=100 run; status=$?
check "a failed install is a failure" '[ $status -ne 0 ]'
check "a failed install says so" 'grep -q "installing failed" "$work/out"'

[ $failures -eq 0 ] && echo "setup: all checks passed"
exit $failures
