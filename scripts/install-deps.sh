#!/bin/sh
# Installs what building, testing and running Quorlet 3 needs on Debian 12.
set -eu
packages="build-essential cmake pkg-config git libgtest-dev libgmock-dev libbenchmark-dev \
  nlohmann-json3-dev qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic fonts-symbola xvfb xauth chromium \
  lintian"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then as_root=""; else as_root="sudo"; fi
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
