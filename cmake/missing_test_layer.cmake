# Registered as a test in place of a layer of tests that cannot be built or run
# on this machine: it fails and says why, so that a test run never passes with
# a whole layer missing. Run with -DREASON=... -P.
message(FATAL_ERROR "${REASON}")
