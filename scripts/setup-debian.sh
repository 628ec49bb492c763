#!/bin/sh
# Installs what ZEP needs to build, run and test on Debian 12.
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite libsqlite3-dev \
  libzip-dev zipcmp zipmerge ziptool libsane-dev sane-utils libgtest-dev libgmock-dev \
  libbenchmark-dev xvfb xauth socat ser2net imagemagick poppler-utils fonts-dejavu-core fonts-liberation2 \
  zip unzip dpkg-dev librsvg2-bin desktop-file-utils lintian qt6-translations-l10n \
  libpq-dev postgresql
