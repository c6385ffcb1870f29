# Win32 backends of the platform interfaces.

function(velmora_platform_backends target)
  target_sources(${target} PRIVATE
    ${PROJECT_SOURCE_DIR}/src/platform/windows/app_data_folder_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/application_version_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/executable_path_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/file_version_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/launched_command_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/own_executable_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/process_memory_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/replace_file_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/tick_clock_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/version_info_win32.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/win32_text.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/windows/window_finder_win32.cpp
  )
  target_link_libraries(${target} PUBLIC version shell32 ole32)
endfunction()

# The VERSIONINFO resource every program of ours carries, from the project version; ApplicationVersion
# reads it back from the running executable.
set(_velmora_version_rc ${PROJECT_BINARY_DIR}/velmora_version.rc)
set(VELMORA_VERSION_RESOURCE ${PROJECT_BINARY_DIR}/velmora_version.res.o)
configure_file(${PROJECT_SOURCE_DIR}/src/platform/windows/velmora_version.rc.in ${_velmora_version_rc} @ONLY)
add_custom_command(
  OUTPUT ${VELMORA_VERSION_RESOURCE}
  COMMAND ${CMAKE_RC_COMPILER} -c 65001 -O coff -i ${_velmora_version_rc} -o ${VELMORA_VERSION_RESOURCE}
  DEPENDS ${_velmora_version_rc}
  COMMENT "Compiling the version resource"
  VERBATIM)
add_custom_target(velmora_version_resource DEPENDS ${VELMORA_VERSION_RESOURCE})

function(velmora_version_resource target)
  # An object file named on the link line is linked whole, so the resource cannot be dropped.
  set(resource ${PROJECT_BINARY_DIR}/velmora_version.res.o)
  target_link_libraries(${target} PRIVATE ${resource})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${resource})
  add_dependencies(${target} velmora_version_resource)
endfunction()
