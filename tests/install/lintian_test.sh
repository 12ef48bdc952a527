#!/usr/bin/env bash
# lintian finds no error and no warning in the Debian package:
#   lintian_test.sh PACKAGE_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
need_tool lintian lintian
packages=("$1"/zipdemographics_*.deb)
# lintian says it would rather not run as root; that notice is no finding.
output="$(lintian --fail-on error,warning "${packages[0]}" 2>&1)" || fail "lintian: $output"
echo "$output" | grep -v '^running with root privileges is not recommended!$' | grep . \
  && fail "lintian reported the lines above"
exit 0
