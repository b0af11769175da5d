# Sourced by run, test and fuzz: installs the Debian packages Wyrle needs when
# any is missing, then configures and builds. Each script sets its own shell
# options; this file sets none.

WYRLE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

WYRLE_PACKAGES=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libgtk-3-dev libfreeimage-dev freeglut3-dev libglew-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev zlib1g-dev libpng-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick xfonts-base
  fonts-liberation2 fonts-dejavu-core xdg-utils openbox metacity
  clang libclang-rt-14-dev python3
  groff poppler-utils img2pdf
)

wyrle_install_deps() {
  local missing=()
  local p
  for p in "${WYRLE_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# wyrle_build DIR [cmake args...]
wyrle_build() {
  local dir="$1"
  shift
  cmake -S "$WYRLE_ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
