# Libraries a cross build compiles itself, since the system's are for the build machine: pugixml and
# Google Benchmark from the Debian sources that scripts/windows_sources.sh unpacks.
set(VELMORA_CROSS_SOURCES ${PROJECT_SOURCE_DIR}/build/windows-sources
    CACHE PATH "Unpacked sources of the libraries a cross build compiles (scripts/windows_sources.sh)")
if(NOT EXISTS ${VELMORA_CROSS_SOURCES}/pugixml/CMakeLists.txt)
  message(FATAL_ERROR "pugixml sources not found in ${VELMORA_CROSS_SOURCES}: run scripts/windows_sources.sh")
endif()
set(BUILD_SHARED_LIBS OFF)
set(PUGIXML_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(PUGIXML_INSTALL OFF CACHE BOOL "" FORCE)
add_subdirectory(${VELMORA_CROSS_SOURCES}/pugixml ${CMAKE_BINARY_DIR}/cross/pugixml EXCLUDE_FROM_ALL SYSTEM)

if(VELMORA_BUILD_BENCH AND EXISTS ${VELMORA_CROSS_SOURCES}/benchmark/CMakeLists.txt)
  set(BENCHMARK_ENABLE_TESTING OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_GTEST_TESTS OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_WERROR OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VELMORA_CROSS_SOURCES}/benchmark ${CMAKE_BINARY_DIR}/cross/benchmark EXCLUDE_FROM_ALL SYSTEM)
endif()

# Boost's asio and Beast are header-only and portable, so the build machine's headers serve the cross build
# as well. They are linked into a folder of their own so that no other header of the build machine comes
# along.
find_path(VELMORA_HOST_BOOST_INCLUDE boost/asio.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
set(velmora_cross_boost ${CMAKE_BINARY_DIR}/cross/boost-include)
file(MAKE_DIRECTORY ${velmora_cross_boost})
file(CREATE_LINK ${VELMORA_HOST_BOOST_INCLUDE}/boost ${velmora_cross_boost}/boost SYMBOLIC)
set(VELMORA_BOOST_INCLUDE ${velmora_cross_boost} CACHE PATH "The folder that holds boost/asio.hpp" FORCE)
