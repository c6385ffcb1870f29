# Sanitizers apply to the whole tree so that the libraries and the tests agree on instrumentation.
if(VELMORA_SANITIZE)
  list(JOIN VELMORA_SANITIZE "," _velmora_sanitizers)
  add_compile_options(-fsanitize=${_velmora_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_velmora_sanitizers})
endif()
