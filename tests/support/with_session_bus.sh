#!/usr/bin/env bash
# Runs a test on a private session bus of its own (dbus-run-session), never the desktop's.
if ! command -v dbus-run-session >/dev/null; then
  if [ "${CI:-}" = true ]; then
    echo "FAIL: dbus-run-session is missing (package dbus); no private session bus"
    exit 1
  fi
  echo "SKIP: dbus-run-session is not installed (package dbus); no private session bus"
  exit 77
fi
exec dbus-run-session -- env CORVANE_TEST_SESSION_BUS=1 "$@"
