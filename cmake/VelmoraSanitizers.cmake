# Sanitizers apply to the whole tree so that the libraries and the tests agree on instrumentation.
if(VELMORA_SANITIZE)
  list(JOIN VELMORA_SANITIZE "," _velmora_sanitizers)
  add_compile_options(-fsanitize=${_velmora_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_velmora_sanitizers})
endif()

# Fuzzing builds instrument everything for coverage and memory errors; the fuzz targets add libFuzzer.
if(VELMORA_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
