# What the scripts of tools/ share; sourced, never run:
#   source "$(dirname "$0")/lib/common.sh"          (from tools/windows/: ../lib/common.sh)
# It leaves the script in the repository's root, where the build folders are, whichever folder of
# tools/ the script lives in; $script is the script's own path, for one that runs itself again
# from there (inside a virtual display).

script=$(realpath "$0")
cd -P "$(dirname "${BASH_SOURCE[0]}")/../.."
# Builds and test runs take every core the machine has.
jobs=$(nproc)

# install_missing PACKAGE...: installs the Debian packages that are not installed yet, and says
# which.
install_missing() {
  local package missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
