# Shared by scripts/test and scripts/play: install what is missing, then configure and build.
# Sourced, not run.

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$project_root/build"

required_packages=(
  g++ clang libclang-rt-14-dev cmake make pkg-config
  qt6-base-dev libpng-dev zlib1g-dev libgtest-dev
  qt6-translations-l10n
  libx11-dev xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
)

# Runs a command as root: directly when we are root, otherwise through sudo (which asks for a
# password only when it has to). The command runs once, whatever its outcome.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "Installing packages needs root, and sudo is not available: run this as root." >&2
    return 1
  fi
}

install_missing_packages() {
  local missing=() pkg
  for pkg in "${required_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q; then
    echo "apt-get update failed: the package lists could not be refreshed." >&2
    return 1
  fi
  if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    echo "apt-get install failed for: ${missing[*]}" >&2
    return 1
  fi
}

# build_project [--quiet]: configures build/ once, then builds what changed. With --quiet the
# compiler's output is kept in build/build.log and shown only when the build fails.
build_project() {
  if [ "${1:-}" != --quiet ]; then
    configure_and_build
    return
  fi
  mkdir -p "$build_dir"
  local log="$build_dir/build.log"
  echo "Building (output in $log)..."
  if ! configure_and_build >"$log" 2>&1; then
    cat "$log"
    echo "The build failed; its output is above and in $log." >&2
    return 1
  fi
}

configure_and_build() {
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$project_root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$build_dir" --parallel "$(nproc)"
}
