# The fuzz targets: tests/fuzz/fuzz_<name>.cpp, seeds in tests/fuzz/corpus/<name>/.
set(KODRA_FUZZ_TARGETS
  records
  ztoken
  message_batch
  shutdown_batch
  catalog
  netcon_address
  charbuffer
  string
  path
  datetime
  fixedlist
  profile_text
)
# The longest input: room for texts past the 4095 bytes where the field reader
# leaves its stack buffer, and for several lines of 1024 characters and more.
set(KODRA_FUZZ_MAX_LEN 16384)
