#!/bin/sh
# Installs the built library into a scratch prefix and builds a program outside
# the tree against it, once with find_package and once with pkg-config.
set -eu
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mkdir -p "$work/app"
cp "$src/tests/consumer/consumer.cpp" "$work/app/"
cat >"$work/app/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
find_package(kolvar REQUIRED)
add_executable(consumer consumer.cpp)
target_link_libraries(consumer PRIVATE kolvar::kolvar)
CM
cmake -S "$work/app" -B "$work/app/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/app/build" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}" "$work/app/build/consumer" "$work"
PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" c++ "$work/app/consumer.cpp" -o "$work/consumer-pc" \
  $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs kolvar)
rm -f "$work"/*.db
LD_LIBRARY_PATH="$work/prefix/lib:${LD_LIBRARY_PATH:-}" "$work/consumer-pc" "$work"
