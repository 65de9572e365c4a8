# The built-in movie player above the format (player/swf/swf.cmake): the
# display list, the renderer and the playback that drives both, all plain
# logic. Included from the root CMakeLists.txt after the format.
add_library(velmora_player STATIC
  player/display/Timeline.cpp
  player/display/TextFieldState.cpp
  player/display/SpriteObject.cpp
  player/display/TextFieldObject.cpp
  player/display/MovieScripts.cpp
  player/display/FieldBinding.cpp
  player/display/ClipProperties.cpp
  player/display/ClipMethods.cpp
  player/display/ClipDrawing.cpp
  player/display/DrawingMethods.cpp
  player/display/ColorClass.cpp
  player/display/TextFormatClass.cpp
  player/display/ClipGeometry.cpp
  player/display/ButtonPointer.cpp
  player/display/StageLayout.cpp
  player/render/Rasterizer.cpp
  player/render/CoverageRow.cpp
  player/render/ShapeGeometry.cpp
  player/render/Paint.cpp
  player/render/BilinearRow.cpp
  player/render/BlendAvx2.cpp
  player/render/SpanCover.cpp
  player/render/GradientRow.cpp
  player/render/GradientRowAvx2.cpp
  player/render/Stroker.cpp
  player/render/Compositing.cpp
  player/render/Filters.cpp
  player/render/BackdropCache.cpp
  player/render/FrameRenderer.cpp
  player/render/EditTextDrawing.cpp
  player/render/TextFieldLayout.cpp
  player/render/DeviceGlyphs.cpp
  player/render/FrameRendererBounds.cpp
  player/render/BandWorker.cpp
  player/render/ChangedArea.cpp
  player/render/SceneState.cpp
  player/render/CanvasPng.cpp
  player/ScaleMode.cpp
  player/MoviePlayback.cpp
)
target_include_directories(velmora_player PUBLIC ${CMAKE_SOURCE_DIR})
find_package(Threads REQUIRED)
target_link_libraries(velmora_player PUBLIC velmora_swf velmora_script Threads::Threads)

# Device fonts from TrueType files, for the tools and tests (Windows asks GDI
# instead, wallpaper/GdiGlyphSource).
add_library(velmora_font_files STATIC tools/TrueTypeFont.cpp tools/FontFileGlyphSource.cpp)
target_include_directories(velmora_font_files PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_font_files PUBLIC velmora_player)

add_executable(swf_render tools/RenderMovie.cpp)
target_link_libraries(swf_render PRIVATE velmora_player)
if(NOT WIN32)
  target_link_libraries(swf_render PRIVATE velmora_font_files)
endif()

# On the build machine: a scripted wall clock, for the test of the running
# program showing the machine's time.
if(NOT WIN32)
  add_executable(make_clock_movie tools/MakeClockMovie.cpp)
  target_link_libraries(make_clock_movie PRIVATE velmora_swf_writer velmora_script)
endif()
