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
