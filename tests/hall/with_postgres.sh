#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command with a PostgreSQL of its own: HVEZDA_TEST_POSTGRES holds the
# address of its maintenance database (tests make databases of their own on it).
# usage: with_postgres.sh COMMAND...
source "$(dirname "$0")/../lib/processes.sh"
source "$(dirname "$0")/postgres.sh"
start_postgres
HVEZDA_TEST_POSTGRES="postgresql:///postgres?host=$pg_host&user=hall" "$@"
