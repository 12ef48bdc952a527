# Shared steps of the project's scripts. Sourced, not run.

ZD_PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev qt6-svg-dev
  libcurl4-openssl-dev libssl-dev openssl
  libgtest-dev libgmock-dev googletest
  clang-14 libclang-rt-14-dev
  libbenchmark-dev
  fonts-liberation
  xvfb xauth qt6-qpa-plugins libxcb1-dev
  libxlsxwriter-dev
  nlohmann-json3-dev
  qtkeychain-qt6-dev gnome-keyring dbus dbus-daemon dbus-bin libsecret-1-0 bsdutils
  python3 python3-openpyxl libreoffice-calc-nogui
  pandoc librsvg2-bin groff-base
  desktop-file-utils appstream bash-completion
  dpkg-dev file lintian
  strace
)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  local package
  for package in "${ZD_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get -o DPkg::Lock::Timeout=600 update -qq
  as_root apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
}

build_project() {
  local dir="$1"; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

run_tests() {
  local dir="$1"
  export QT_QPA_PLATFORM=offscreen
  ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300
}
