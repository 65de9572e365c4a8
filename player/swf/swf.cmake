# The movie file's format: the parser (with the LZMA decoder of "ZWS" files)
# and the writer, plain logic on every target. Included from the root
# CMakeLists.txt after the pictures, whose decoders read the movies' bitmaps.

# LZMA decoder for compressed ("ZWS") movies.
add_library(velmora_lzma STATIC player/swf/LzmaDecoder.cpp)
target_include_directories(velmora_lzma PUBLIC ${CMAKE_SOURCE_DIR})

# The native test encodes its samples with the system liblzma.
if(NOT WIN32)
  find_library(LZMA_LIB lzma)
  if(LZMA_LIB)
    set(VELMORA_LZMA_TEST_LIBS velmora_lzma ${LZMA_LIB})
  endif()
endif()
# tests/native/LzmaDecoderTest.cpp links ${VELMORA_LZMA_TEST_LIBS}.

# The file read into plain data (player/swf/SwfMovie.h).
add_library(velmora_swf STATIC
  player/swf/BitReader.cpp
  player/swf/FileBytes.cpp
  player/swf/ShapeParser.cpp
  player/swf/TextParser.cpp
  player/swf/EditTextParser.cpp
  player/swf/HtmlText.cpp
  player/swf/BitmapDecoder.cpp
  player/swf/FilterParser.cpp
  player/swf/ButtonParser.cpp
  player/swf/SwfParser.cpp
)
target_include_directories(velmora_swf PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_swf PUBLIC velmora_lzma velmora_pictures ZLIB::ZLIB)

# The writer, with the parser's types, and on the build machine the program
# that writes our demo movie with it.
add_library(velmora_swf_writer STATIC player/swf/SwfWriter.cpp player/swf/SwfWriterTags.cpp)
target_include_directories(velmora_swf_writer PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_swf_writer PUBLIC ZLIB::ZLIB)

if(NOT WIN32)
  add_executable(make_demo_movie tools/MakeDemoMovie.cpp)
  target_link_libraries(make_demo_movie PRIVATE velmora_swf_writer)
endif()
