# Sourced by the run and test commands. Where XDG_RUNTIME_DIR is unset (a root shell, a
# container), Qt warns on every start and picks a folder itself; give the programs a private
# one instead: the folder Qt would pick, if it is ours and private, else a fresh one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=${TMPDIR:-/tmp}/runtime-$(id -un)
    if ! mkdir -m 0700 "$XDG_RUNTIME_DIR" 2>/dev/null &&
        ! { [ -d "$XDG_RUNTIME_DIR" ] && [ ! -L "$XDG_RUNTIME_DIR" ] &&
            [ "$(stat -c %u:%a "$XDG_RUNTIME_DIR")" = "$(id -u):700" ]; }; then
        XDG_RUNTIME_DIR=$(mktemp -d)
    fi
    export XDG_RUNTIME_DIR
fi
