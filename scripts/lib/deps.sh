# Installs the Debian packages the build and the tests need, when missing.
tw_deps=(cmake g++ clang-14 libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick python3)

tw_install_deps() {
  local missing=() p
  for p in "${tw_deps[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq >/dev/null 2>&1 || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1
}
