# Shared by the scripts (sourced, not run): named steps whose failure is never silent.
# A script sets VX_SCRIPT to its name, calls vx_step for each step that can fail, and
# ends on failure with one line naming the step, whatever command failed. A script with
# something to undo sets VX_CLEANUP to a function's name; it runs on every exit.

VX_SCRIPT=${VX_SCRIPT:-$(basename "$0")}
VX_STEP="start"
VX_LOG_DIR=${VX_LOG_DIR:-${TMPDIR:-/tmp}/vamex-logs}
mkdir -p "$VX_LOG_DIR"

# The one closing line on failure, however the script ends (set -e, exit, a signal).
vx_on_exit() {
    local rc=$?
    if [ -n "${VX_CLEANUP:-}" ]; then
        "$VX_CLEANUP" || true
    fi
    if [ "$rc" -ne 0 ]; then
        echo "$VX_SCRIPT: FAILED at step '$VX_STEP' (exit code $rc)" >&2
    fi
    return "$rc"
}
trap vx_on_exit EXIT
# An interrupt ends the script through the same exit path (and its clean-up).
trap 'exit 130' INT
trap 'exit 143' TERM

# vx_begin NAME: names the step that runs from here on (for output that is shown live).
vx_begin() {
    VX_STEP=$1
}

# vx_step NAME command...: runs a command whose output is long or uninteresting, keeping
# it in a log; on failure prints the log's tail and the step's name, then ends the script.
vx_step() {
    VX_STEP=$1
    shift
    local log
    log="$VX_LOG_DIR/$VX_SCRIPT.$(printf '%s' "$VX_STEP" | tr -c 'A-Za-z0-9_.-' '_').log"
    local rc=0
    "$@" >"$log" 2>&1 </dev/null || rc=$?
    if [ "$rc" -ne 0 ]; then
        echo "---- $VX_SCRIPT: step '$VX_STEP' failed (exit code $rc); last lines of $log:" >&2
        tail -n 40 "$log" >&2
        exit "$rc"
    fi
}

# vx_require PACKAGE:COMMAND...: after an install, every command the script will call
# must exist; names the package that should have brought a missing one.
vx_require() {
    VX_STEP="check installed commands"
    local pair missing=0
    for pair in "$@"; do
        if ! command -v "${pair#*:}" >/dev/null 2>&1; then
            echo "$VX_SCRIPT: command '${pair#*:}' is missing (Debian package ${pair%%:*})" >&2
            missing=1
        fi
    done
    [ "$missing" -eq 0 ] || exit 1
}

# vx_test_counts JUNIT: one suite's counts from CTest's JUnit file, as
# "246 tests, 243 passed, 3 skipped" (", N failed" when any failed).
vx_test_counts() {
    local file=$1
    [ -s "$file" ] || { echo "no results ($file missing)"; return 0; }
    attr() { sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\".*/\1/p" "$file" | head -n 1; }
    local tests failures skipped disabled
    tests=$(attr tests) failures=$(attr failures) skipped=$(attr skipped) disabled=$(attr disabled)
    skipped=$((${skipped:-0} + ${disabled:-0}))
    local line="${tests:-0} tests, $((${tests:-0} - ${failures:-0} - skipped)) passed"
    [ "${failures:-0}" -eq 0 ] || line="$line, $failures failed"
    echo "$line, $skipped skipped"
}
