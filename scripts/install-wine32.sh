#!/usr/bin/env bash
# Installs 32-bit Wine (wine32:i386), which runs the product DLL's tests: adds
# the i386 architecture once and installs the package when it is missing.  A
# machine where it cannot be installed (no i386 packages, a broken package
# index) gets a loud notice and goes on: scripts/wine-tests.sh then says in
# its summary which Windows runs it skipped.
set -u
have() { dpkg-query -W -f='${Status}\n' wine32:i386 2>/dev/null | grep -q 'install ok installed'; }
have && exit 0
SUDO=$( [ "$(id -u)" = 0 ] || echo sudo )
echo "Installing: wine32:i386 (32-bit Wine for the product DLL's tests)"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386 && $SUDO apt-get update -qq >/dev/null 2>&1
fi
if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 \
    >/tmp/vorkab-wine32-install.log 2>&1; then
  # The index may be stale after the architecture was added elsewhere.
  $SUDO apt-get update -qq >/dev/null 2>&1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 \
    >/tmp/vorkab-wine32-install.log 2>&1
fi
if ! have; then
  echo "********************************************************************"
  echo "* wine32:i386 could not be installed (see /tmp/vorkab-wine32-install.log):"
  echo "* the 32-bit product DLL's tests will be SKIPPED by make test."
  echo "********************************************************************"
fi
exit 0
