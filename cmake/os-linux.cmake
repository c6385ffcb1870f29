# Linux backends of the platform interfaces.
find_package(PkgConfig REQUIRED)
# GLOBAL so that velmora-sim's window and the test helpers link the same target.
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
# X-Resource: the server's own word on which process owns a window's client.
pkg_check_modules(XCB_RES REQUIRED IMPORTED_TARGET xcb-res)

function(velmora_platform_backends target)
  # The program's own version is compiled in from the project version.
  configure_file(${PROJECT_SOURCE_DIR}/src/platform/linux/application_version_linux.cpp.in
                 ${CMAKE_CURRENT_BINARY_DIR}/application_version_linux.cpp @ONLY)
  target_sources(${target} PRIVATE
    ${CMAKE_CURRENT_BINARY_DIR}/application_version_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/app_data_folder_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/executable_path_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/file_version_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/launched_command_posix.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/process_memory_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/tick_clock_linux.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/window_finder_x11.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/window_owner_x11.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/replace_file_posix.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/linux/x11_connection.cpp
  )
  target_link_libraries(${target} PRIVATE PkgConfig::XCB PkgConfig::XCB_RES)
endfunction()

# A Linux program carries its version compiled in; nothing to add.
function(velmora_version_resource target)
endfunction()
