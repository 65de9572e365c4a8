# The picture decoders (JPEG, PNG, GIF, BMP), the scaler they stream into and
# the PNG writer: plain logic for the movies' bitmaps, the slides, the hover
# preview and the controls' templates. Included first from the root
# CMakeLists.txt: it finds zlib for everyone.
# The Windows program ships as one file, so zlib goes into it statically.
if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

add_library(velmora_pictures STATIC
  pictures/JpegIdct.cpp
  pictures/JpegDecoder.cpp
  pictures/PngDecoder.cpp
  pictures/GifDecoder.cpp
  pictures/BmpDecoder.cpp
  pictures/PictureScaler.cpp
  pictures/PictureDecoder.cpp
  pictures/PngWriter.cpp
)
target_include_directories(velmora_pictures PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_pictures PUBLIC ZLIB::ZLIB)
