# Shared by scripts/test and scripts/play: install what is missing, then configure and build.
# Sourced, not run.

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$project_root/build"

required_packages=(
  g++ clang libclang-rt-14-dev cmake make pkg-config
  qt6-base-dev libpng-dev zlib1g-dev libgtest-dev libinih-dev
  qt6-translations-l10n
  libx11-dev xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@" || sudo "$@"; fi
}

install_missing_packages() {
  local missing=() pkg
  for pkg in "${required_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_project() {
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$project_root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$build_dir" --parallel "$(nproc)"
}
