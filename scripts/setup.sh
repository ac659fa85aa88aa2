#!/usr/bin/env bash
# Installs what the project needs on a Debian 12 machine and prepares the
# Windows cross-build of libyaml. Idempotent and quiet when everything is there.
#   scripts/setup.sh [--hosts]
# --hosts also installs Ardour (about 300 MB with what it brings), the real LV2
# host that `make test-hosts` drives; `make test` does not need it.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/build/deps"

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libyaml-dev libcairo2-dev libx11-dev libxtst-dev libfreetype-dev libfontconfig-dev
  libsndfile1-dev libsmf-dev
  g++-mingw-w64-x86-64 wine wine64 xvfb xauth
  clang libclang-rt-14-dev
  fonts-dejavu-core dpkg-dev locales
  amsynth zynaddsubfx-vst
  lv2-dev liblilv-dev lilv-utils serdi sordi zynaddsubfx-lv2
)

for arg in "$@"; do
  case $arg in
    --hosts) packages+=(ardour python3) ;;
    *) echo "setup: unknown option $arg" >&2; exit 2 ;;
  esac
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A locale with a decimal comma, so that the tests which check that texts do
# not follow the host's number locale really run in one.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  if grep -qs '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -qs '^de_DE\.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
fi

# libyaml for Windows: Debian's source package, cross-compiled as a static library.
lib="$deps/libyaml-win64/lib/libyaml.a"
if [ ! -f "$lib" ]; then
  src_list=/etc/apt/sources.list.d/ondrel-deb-src.sources
  if ! grep -rqsE '^(Types:.*deb-src|deb-src\s)' /etc/apt/sources.list.d/ /etc/apt/sources.list 2>/dev/null; then
    echo "setup: adding a deb-src entry for libyaml's source package"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
    else
      # Classic one-line sources: the same archives with deb-src.
      grep -hE '^deb\s' /etc/apt/sources.list 2>/dev/null | sed 's/^deb\s/deb-src /' |
        as_root tee /etc/apt/sources.list.d/ondrel-deb-src.list >/dev/null
    fi
    as_root apt-get update -qq
  fi
  mkdir -p "$deps/src"
  (cd "$deps/src" && [ -n "$(ls libyaml_*.orig.tar.gz 2>/dev/null)" ] || apt-get source --download-only -qq libyaml >/dev/null)
  tarball=$(ls "$deps"/src/libyaml_*.orig.tar.gz | head -n1)
  rm -rf "$deps/src/unpacked" && mkdir -p "$deps/src/unpacked"
  tar -xzf "$tarball" -C "$deps/src/unpacked"
  dir=$(ls -d "$deps"/src/unpacked/*/ | head -n1)
  version=$(basename "$dir" | sed 's/^libyaml-//')
  IFS=. read -r major minor patch <<<"$version"
  obj="$deps/src/obj" && rm -rf "$obj" && mkdir -p "$obj"
  echo "setup: cross-building libyaml $version for Windows"
  for c in "$dir"/src/*.c; do
    x86_64-w64-mingw32-gcc -O2 -DYAML_DECLARE_STATIC \
      -DYAML_VERSION_MAJOR="$major" -DYAML_VERSION_MINOR="$minor" -DYAML_VERSION_PATCH="$patch" \
      -DYAML_VERSION_STRING="\"$version\"" -I"$dir/include" -c "$c" -o "$obj/$(basename "$c" .c).o"
  done
  mkdir -p "$deps/libyaml-win64/lib" "$deps/libyaml-win64/include"
  x86_64-w64-mingw32-ar rcs "$lib" "$obj"/*.o
  cp "$dir/include/yaml.h" "$deps/libyaml-win64/include/"
fi
