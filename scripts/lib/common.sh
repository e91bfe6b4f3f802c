# Shared by scripts/test, scripts/run and scripts/bench: package installation,
# configure/build helpers and the Wine environment.  Source it; do not run it.

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VELMORA_BUILD="$VELMORA_ROOT/build"

velmora_log() { printf '\n== %s\n' "$*"; }

velmora_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs every Debian package named that is not installed yet.
velmora_ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  velmora_log "installing ${missing[*]}"
  velmora_sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive velmora_sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932,
# en_US.UTF-8 (a Western Windows) 1252.  Generates the named locale if missing.
velmora_ensure_locale() {
  local name=$1
  if ! locale -a 2>/dev/null | grep -qix "${name%%.*}\.utf-\?8"; then
    velmora_log "generating the $name locale"
    velmora_sudo sed -i "s/^# *$name UTF-8/$name UTF-8/" /etc/locale.gen
    grep -q "^$name UTF-8" /etc/locale.gen ||
      echo "$name UTF-8" | velmora_sudo tee -a /etc/locale.gen >/dev/null
    velmora_sudo locale-gen >/dev/null
  fi
}

velmora_ensure_japanese_locale() { velmora_ensure_locale ja_JP.UTF-8; }

velmora_ensure_toolchain() {
  velmora_ensure_packages build-essential cmake g++ clang libclang-rt-14-dev googletest \
    libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 \
    xvfb xauth x11-apps imagemagick locales fonts-ipafont-gothic zip unzip nsis wixl
  velmora_ensure_japanese_locale
  velmora_ensure_locale en_US.UTF-8
}

velmora_build_preset() {
  local preset=$1
  velmora_log "configuring and building preset '$preset'"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

# --- Wine ---------------------------------------------------------------------

# Wine runs under VELMORA_WINE_LOCALE, Japanese unless set; the tests read the
# code page that locale is meant to give from VELMORA_CODE_PAGE.
velmora_wine_env() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=${VELMORA_WINE_LOCALE:-ja_JP.UTF-8}
  export LANG=$LC_ALL
  case $LC_ALL in
    ja_JP.*) export VELMORA_CODE_PAGE=932 ;;
    en_US.*) export VELMORA_CODE_PAGE=1252 ;;
    *) unset VELMORA_CODE_PAGE ;;
  esac
}

# Creates the prefix named by WINEPREFIX if it is new, and keeps a wineserver
# running for it so that every later Wine process starts fast.
velmora_wine_start() {
  mkdir -p "$WINEPREFIX"
  # The persistent server first, so that everything below attaches to it and
  # nothing has to wait for a short-lived server to exit.
  wineserver -p >/dev/null 2>&1
  # Wine's long-lived helpers (services.exe and its children, explorer.exe for
  # the desktop) are started by the first Wine process that needs them and
  # inherit its standard handles.  Started here they hold /dev/null; started by
  # a test they would hold ctest's output pipe open, and ctest would wait for
  # them for as long as the persistent server keeps them alive.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    velmora_log "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # A prefix whose creation was cut short lacks DLLs, and its programs then
    # fail at random with STATUS_DLL_NOT_FOUND: stop here instead.
    if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
      echo "the Wine prefix $WINEPREFIX was not created completely" >&2
      return 1
    fi
    # Let Wine's X11 driver draw frames and captions itself, as Windows does.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  else
    wineboot >/dev/null 2>&1 || true
  fi
}

# Removes a throwaway prefix, after ending whatever Wine still runs in it: a
# server left over from an interrupted run would otherwise go on writing into
# the prefix made next under the same path.
velmora_wine_discard() {
  if [ -d "$1" ]; then
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
  fi
  rm -rf "$1"
}

velmora_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}
