#!/usr/bin/env bash
# lintian finds no error and no warning in the Debian package, and, down to its
# informational and pedantic tags, nothing about hardening when the build is hardened:
#   lintian_test.sh PACKAGE_DIR hardened|unhardened
set -euo pipefail
source "$(dirname "$0")/lib.sh"
need_tool lintian lintian
packages=("$1"/zipdemographics_*.deb)
# lintian says it would rather not run as root; that notice is no finding.
output="$(lintian --fail-on error,warning "${packages[0]}" 2>&1)" || fail "lintian: $output"
echo "$output" | grep -v '^running with root privileges is not recommended!$' | grep . \
  && fail "lintian reported the lines above"
[ "${2:-hardened}" = hardened ] || exit 0
hardening="$(lintian -I --pedantic "${packages[0]}" 2>&1 | grep -F 'hardening-')" \
  && fail "lintian -I --pedantic reported: $hardening"
exit 0
