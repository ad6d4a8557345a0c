# Sourced by the set-up scripts: installs the Debian packages of a list that are not installed.
# install_missing PACKAGE...   (through sudo when not root; nothing happens when all are there)
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# True where PipeWire provides this desktop's PulseAudio service: the pulseaudio package would
# replace it and start a second sound server, so the test set-up leaves it out there.
pipewire_desktop() {
  dpkg-query -W -f='${Status}' pipewire-pulse 2>/dev/null | grep -q "install ok installed"
}
