# The libFuzzer targets, one per entry point; shared by the fuzz project that
# builds them and the native build that runs them.
set(VLEXIF_FUZZ_TARGETS
  row_converters
  row_expansion
  spool_header
  palette
  spool_name
  converter_bmp_header
  exif_segment
  page_survey)
