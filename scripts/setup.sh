#!/usr/bin/env bash
# Installs, from Debian's archive, every package the build, the tests and the
# benchmarks need, and the locales the tests use. Safe to run again: it
# installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format
  clang-14 libclang-rt-14-dev llvm-14
  libfmt-dev libpugixml-dev libssl-dev libzip-dev libsqlite3-dev nlohmann-json3-dev
  postgresql-15 libpq-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev pybind11-dev python3-dev python3-pytest python3-openpyxl python3-docx python3-lxml
  libreoffice-calc-nogui libreoffice-writer-nogui locales
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests that numbers and text convert alike in every locale run in one
# whose decimal separator is a comma.
comma_locale=de_DE.UTF-8
if ! locale -a | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the locale $comma_locale"
  "${sudo_cmd[@]}" sed -i "s/^# *\($comma_locale UTF-8\)/\1/" /etc/locale.gen
  grep -qx "$comma_locale UTF-8" /etc/locale.gen ||
    echo "$comma_locale UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
