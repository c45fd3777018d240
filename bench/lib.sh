# What the kwl-list benchmarks share: sourced by bench/run_*_bench.sh from the repository's root,
# with WORK set to their working folder.

# Installs the Debian packages given that are missing (the tools a benchmark compares with),
# then what building KWL needs.
bench_install() {
    local need=() pkg sudo=""
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            need+=("$pkg")
    done
    if ((${#need[@]})); then
        if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
        $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
            --no-install-recommends "${need[@]}" >&2
    fi
    scripts/install-deps.sh >&2
}

# Builds kwl-list and make_tree as released (build-bench/) and sets KWL to kwl-list.
bench_build() {
    cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKWL_BUILD_GUI=OFF \
        -DKWL_BUILD_TESTS=OFF >/dev/null
    cmake --build build-bench -j2 --target kwl-list make_tree >/dev/null
    KWL=$PWD/build-bench/cli/kwl-list
}

# bench_tree LAYOUT ENTRIES -> the path of a tree made by make_tree in WORK, made only once.
bench_tree() {
    local dir=$WORK/tree-$1-$2
    mkdir -p "$WORK"
    if [[ ! -e $dir.done ]]; then
        rm -rf "$dir"
        echo "making the $1 tree of $2 entries in $dir" >&2
        build-bench/bench/make_tree "$1" "$2" "$dir" >&2
        touch "$dir.done"
    fi
    echo "$dir"
}
