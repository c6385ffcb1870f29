# Linux backends of the platform interfaces.
function(velmora_platform_backends target)
  target_sources(${target} PRIVATE
    ${PROJECT_SOURCE_DIR}/src/platform/linux/process_memory_linux.cpp
  )
endfunction()
