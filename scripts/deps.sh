# Sourced by run.sh and test.sh: installs the Debian packages Quovel needs, skipping those already there.
QUOVEL_PACKAGES=(
    g++ make cmake pkg-config
    qt6-base-dev libpugixml-dev libcurl4-openssl-dev zlib1g-dev ca-certificates
    libxml2-dev libpcre2-dev libdtl-dev libzstd-dev libyaml-cpp-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
)

quovel_install_missing() {
    local missing=() pkg
    for pkg in "${QUOVEL_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Quovel needs these packages and cannot install them without root or sudo: ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# quovel_build DIR TYPE [CMAKE OPTIONS...]
quovel_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
