#!/usr/bin/env bash
# Outside src/platform/ no file may include an OS header: the portable code reaches the
# OS only through the platform interfaces. Prints the offending lines and fails.
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|winsock2?|ws2tcpip|objbase|ole2|shlobj|shellapi|shlwapi|commctrl|wininet|winhttp|wincrypt|winver|unistd|fcntl|dlfcn|pthread|iconv|curl/[^>]*|archive|archive_entry|openssl/[^>]*|zlib|X11/[^>]*|sys/[^>]*)\.h>'
hits=$(find "$root/src" -path "$root/src/platform" -prune -o \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 \
  | xargs -0 grep -nE "$pattern" || true)
if [ -n "$hits" ]; then
  echo "OS headers outside src/platform/:"
  echo "$hits"
  exit 1
fi
echo "portable code includes no OS header"
