#!/usr/bin/env bash
# Keeps one core busy for SECONDS (default 600) and then ends: a load for checking that the
# end-to-end tests hold on a busy machine.   busy-core.sh [SECONDS]
readonly until=$((SECONDS + ${1:-600}))
while [ "$SECONDS" -lt "$until" ]; do :; done
