# The SWF writer (plain logic) and, on the build machine, the program that
# writes our demo movie with it. Included from the root CMakeLists.txt.
# The Windows program ships as one file, so zlib goes into it statically.
if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

add_library(velmora_swf_writer STATIC player/SwfWriter.cpp)
target_include_directories(velmora_swf_writer PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_swf_writer PUBLIC ZLIB::ZLIB)

if(NOT WIN32)
  add_executable(make_demo_movie tools/MakeDemoMovie.cpp)
  target_link_libraries(make_demo_movie PRIVATE velmora_swf_writer)
endif()
