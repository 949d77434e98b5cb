# Sourced by the scripts: makes sure the Debian packages they need are there.
# As root it installs what is missing with apt-get; otherwise it names them.

# What building the programs and making and serving the sample site need
# (scripts/demo installs these alone).
weft_build_packages="cmake ninja-build g++ libjpeg62-turbo-dev libfltk1.3-dev libx11-dev python3"
# What the tests and fuzzers need besides.
weft_packages="libgtest-dev chromium chromium-driver xvfb xdotool xclip scrot x11-utils x11-xserver-utils openbox pcmanfm fonts-dejavu-core clang-14 libclang-rt-14-dev"

# weft_ensure_packages [PACKAGE...]: both sets and the packages named.
weft_ensure_packages() {
  weft_ensure $weft_build_packages $weft_packages "$@"
}

# weft_ensure_build_packages: the build set alone.
weft_ensure_build_packages() {
  weft_ensure $weft_build_packages
}

weft_ensure() {
  local missing="" p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    apt-get install -y -qq $missing >/dev/null || return 1
  else
    echo "These packages are missing; install them with:" >&2
    echo "    sudo apt-get install$missing" >&2
    return 1
  fi
}
