# Sourced: where the i486 cross toolchain lives, outside the checkout, one per machine and user.
export SONDREL_TOOLCHAIN=${SONDREL_TOOLCHAIN:-${XDG_CACHE_HOME:-$HOME/.cache}/sondrel-i486}
