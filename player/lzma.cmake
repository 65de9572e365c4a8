# LZMA decoder for compressed ("ZWS") movies; plain logic, built on every target.
add_library(velmora_lzma STATIC player/LzmaDecoder.cpp)
target_include_directories(velmora_lzma PUBLIC ${CMAKE_SOURCE_DIR})

# The native test encodes its samples with the system liblzma.
if(NOT WIN32)
  find_library(LZMA_LIB lzma)
  if(LZMA_LIB)
    set(VELMORA_LZMA_TEST_LIBS velmora_lzma ${LZMA_LIB})
  endif()
endif()
# tests/native/LzmaDecoderTest.cpp links ${VELMORA_LZMA_TEST_LIBS}.
