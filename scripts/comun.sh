# Shared by scripts/run, scripts/test and scripts/bench: install what is
# missing from Debian's packages, then configure and build incrementally.
set -euo pipefail

RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PAQUETES=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev fonts-dejavu-core fonts-dejavu-extra tzdata strace ser2net)

instalar_faltantes() {
    local faltan=()
    for p in "${PAQUETES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltan+=("$p")
    done
    [ ${#faltan[@]} -eq 0 ] && return 0
    local linea="apt-get update && apt-get install -y --no-install-recommends ${faltan[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Faltan paquetes. Como root, ejecute:" >&2
        echo "  $linea" >&2
        exit 1
    fi
    echo "Instalando: ${faltan[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}"
}

construir() {
    local dir="$1"; shift
    cmake -S "$RAIZ" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
