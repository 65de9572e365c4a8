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
  player/BandWorker.cpp
  player/ChangedArea.cpp
  player/JpegIdct.cpp
  player/JpegDecoder.cpp
  player/PngDecoder.cpp
  player/GifDecoder.cpp
  player/BmpDecoder.cpp
  player/PictureScaler.cpp
  player/PictureDecoder.cpp
)
target_include_directories(velmora_player PUBLIC ${CMAKE_SOURCE_DIR})
find_package(Threads REQUIRED)
target_link_libraries(velmora_player PUBLIC velmora_lzma ZLIB::ZLIB Threads::Threads)

add_executable(swf_render tools/RenderMovie.cpp)
target_link_libraries(swf_render PRIVATE velmora_player)
