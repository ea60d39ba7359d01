#!/bin/sh
# Stands in for the user's web browser in the end-to-end tests: records each
# address it is asked to open, one a line, beside the test output.
printf '%s\n' "$1" >> "$(dirname "$0")/test-output/browser-addresses.txt"
