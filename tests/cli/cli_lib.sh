# Shared by the scripts that run kvprog-cli on files: a scratch folder to work in, and the
# checks on its exit status. Sourced after setting cli.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_exit() {  # expect_exit CODE COMMAND...: output in out.txt, err.txt
    local want="$1"; shift
    local got=0
    "$@" >out.txt 2>err.txt || got=$?
    [ "$got" -eq "$want" ] || fail "$* exited $got, expected $want: $(cat err.txt)"
}
