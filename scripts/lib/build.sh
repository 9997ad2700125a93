# Sourced from the repository's top by the scripts that build Tonquil: the
# run and test commands and the screenshot scripts. Installs what is
# missing, chooses the build this machine can run and builds it.

. scripts/lib/wine.sh

# Sets ARCH (x86 or x64), PRESET and BUILD_DIR, and installs what that
# build needs.
tonquil_choose_build() {
    scripts/setup.sh
    ARCH=$(tonquil_arch)
    if [ "$ARCH" = x64 ]; then
        scripts/setup.sh x64
        PRESET=mingw-x64
        BUILD_DIR=build-x64
    else
        PRESET=mingw
        BUILD_DIR=build
    fi
}

# tonquil_build [TARGET...]: everything, or only the targets named.
tonquil_build() {
    [ -n "${PRESET:-}" ] || tonquil_choose_build
    cmake --preset "$PRESET" -DTONQUIL_WERROR="${TONQUIL_WERROR:-OFF}" >/dev/null
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    # Quiet when all is well, but every warning is shown; the whole log when
    # the build fails.
    cmake --build --preset "$PRESET" "${targets[@]}" >"$BUILD_DIR/build.log" 2>&1 ||
        { cat "$BUILD_DIR/build.log"; exit 1; }
    grep -A3 ': warning:' "$BUILD_DIR/build.log" || true
}

# One line that says which build runs, and why.
tonquil_arch_line() {
    if [ "$ARCH" = x86 ]; then
        echo "Tonquil: the 32-bit build under 32-bit Wine."
    elif [ -n "${TONQUIL_TEST_ARCH:-}" ]; then
        echo "Tonquil: the x64 build under 64-bit Wine (TONQUIL_TEST_ARCH=x64)."
    else
        echo "Tonquil: the x64 build under 64-bit Wine (this machine cannot start 32-bit programs)."
    fi
}
