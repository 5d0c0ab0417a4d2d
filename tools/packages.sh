# Makes sure the Debian packages a script needs are installed: as root it
# installs what is missing (one apt-get update, then one apt-get install);
# otherwise it prints the one command to run and fails.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing packages; run: sudo apt-get install -y ${missing[*]}" >&2
    return 1
  fi
}

BUILD_PACKAGES=(cmake make g++ pkg-config libsdl2-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libsdl2-gfx-dev liballegro4-dev libsdl2-image-dev libfreetype-dev)
TEST_PACKAGES=(clang libclang-rt-14-dev xvfb xauth xdotool x11-utils openbox imagemagick python3 libgl1-mesa-dri libglx-mesa0 doxygen libx11-dev fonts-dejavu-core)
