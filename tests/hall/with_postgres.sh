#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# usage: with_postgres.sh COMMAND... -- runs it with HVEZDA_TEST_POSTGRES, the address of a fresh PostgreSQL.
source "$(dirname "$0")/../lib/processes.sh"
source "$(dirname "$0")/postgres.sh"
start_postgres
HVEZDA_TEST_POSTGRES="postgresql:///postgres?host=$pg_host&user=hall" "$@"
