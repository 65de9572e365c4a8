# The built-in movie player: parser, timeline and renderer, all plain logic.
# Included from the root CMakeLists.txt after the writer (which finds zlib).
include(${CMAKE_SOURCE_DIR}/player/lzma.cmake)

add_library(velmora_player STATIC
  player/BitReader.cpp
  player/FileBytes.cpp
  player/ShapeParser.cpp
  player/TextParser.cpp
  player/ActionParser.cpp
  player/BitmapDecoder.cpp
  player/SwfParser.cpp
  player/ShapeGeometry.cpp
  player/Timeline.cpp
  player/Rasterizer.cpp
  player/Paint.cpp
  player/Stroker.cpp
  player/Compositing.cpp
  player/Filters.cpp
  player/BackdropCache.cpp
  player/FrameRenderer.cpp
  player/ScaleMode.cpp
  player/MoviePlayback.cpp
  player/CanvasPng.cpp
  player/PngWriter.cpp
  player/JpegIdct.cpp
  player/JpegDecoder.cpp
  player/PngDecoder.cpp
  player/GifDecoder.cpp
  player/BmpDecoder.cpp
  player/PictureScaler.cpp
  player/PictureDecoder.cpp
)
target_include_directories(velmora_player PUBLIC ${CMAKE_SOURCE_DIR})
# Debian's stb headers, copied beside the build: the cross compilers must not
# search the build machine's /usr/include as a whole.
find_file(VELMORA_STB_IMAGE stb/stb_image_write.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(VELMORA_STB_DIR ${VELMORA_STB_IMAGE} DIRECTORY)
foreach(header stb_image_write.h)
  configure_file(${VELMORA_STB_DIR}/${header} ${CMAKE_BINARY_DIR}/stb/stb/${header} COPYONLY)
endforeach()
target_include_directories(velmora_player SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/stb)
target_link_libraries(velmora_player PUBLIC velmora_lzma ZLIB::ZLIB)
# The stb headers are third-party code: their warnings are not ours to fix.
set_source_files_properties(player/PngWriter.cpp PROPERTIES COMPILE_OPTIONS "-w")

add_executable(swf_render tools/RenderMovie.cpp)
target_link_libraries(swf_render PRIVATE velmora_player)
