# Sanitizers apply to the whole tree so that the libraries and the tests agree on instrumentation.
if(VELMORA_SANITIZE)
  list(JOIN VELMORA_SANITIZE "," _velmora_sanitizers)
  add_compile_options(-fsanitize=${_velmora_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_velmora_sanitizers})
  if("thread" IN_LIST VELMORA_SANITIZE)
    # The thread sanitizer cannot see standalone fences. asio's handler fences only repeat the ordering its
    # queue mutexes already give, so without them the sanitizer judges the synchronisation it can see.
    add_compile_definitions(BOOST_ASIO_DISABLE_FENCED_BLOCK)
  endif()
endif()

# Fuzzing builds instrument everything for coverage and memory errors; the fuzz targets add libFuzzer.
if(VELMORA_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
