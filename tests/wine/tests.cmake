# Tests of the Win32 code, run under wine64 through the cross-compiling
# emulator (scripts/wine-run.sh): each test program gets its own prefix and
# its own virtual display.
# The tests' programs carry the program's resources: rebuilt when one changes.
set_source_files_properties(${VELMORA_RESOURCES} PROPERTIES OBJECT_DEPENDS "${VELMORA_RESOURCE_FILES}")
add_library(wine_test_support STATIC wine/TestSupport.cpp wine/RealInput.cpp wine/DesktopFixture.cpp)
target_link_libraries(wine_test_support PUBLIC velmora_win GTest::gtest)

function(velmora_wine_test name)
  velmora_test(${name} ${ARGN} ${VELMORA_RESOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PRIVATE wine_test_support)
  target_link_options(${name} PRIVATE ${VELMORA_STATIC_LINK})
  set_tests_properties(${name} PROPERTIES LABELS wine)
endfunction()

# A small program of its own that a test starts beside the program tested
# (a window of another process), made for the test `testName`.
function(velmora_helper_program name source testName)
  add_executable(${name} WIN32 ${source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name} PRIVATE ${VELMORA_STATIC_LINK})
  add_dependencies(${testName} ${name})
endfunction()

velmora_wine_test(wine_settings_tests wine/IniFileTest.cpp wine/RegistryTest.cpp
  wine/FailedWritesTest.cpp)
# Writes on a full volume (a tiny tmpfs of the run's own; the case says it
# skipped, and why, where no tmpfs can be mounted) and writes the system cuts
# short (a file-size limit, which needs no mount).
add_test(NAME wine_full_volume_tests COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/wine/small-disk.sh
  tiny-volume 1024 $<TARGET_FILE:wine_settings_tests> --gtest_also_run_disabled_tests
  --gtest_filter=FullVolume.*)
add_test(NAME wine_cut_short_write_tests COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/wine/small-disk.sh
  file-size-limit 256 $<TARGET_FILE:wine_settings_tests> --gtest_also_run_disabled_tests
  --gtest_filter=*AWriteCutShort*)
set_tests_properties(wine_full_volume_tests wine_cut_short_write_tests PROPERTIES
  LABELS wine SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
velmora_wine_test(wine_host_tests
  wine/DesktopHostTest.cpp wine/ResourceFilesTest.cpp wine/FrmWaitingTest.cpp)
velmora_wine_test(wine_surface_tests wine/CdibTest.cpp)
target_link_libraries(wine_surface_tests PRIVATE z)
velmora_wine_test(wine_slideshow_tests wine/SlideshowTest.cpp)
target_link_libraries(wine_slideshow_tests PRIVATE z)
velmora_wine_test(wine_iconlayer_tests wine/IconLayerTest.cpp)
velmora_wine_test(wine_startup_tests wine/StartupProcessTest.cpp)
add_dependencies(wine_startup_tests Velmora)

# The platform-free tests also run as Windows programs.
set_tests_properties(native_logic_tests PROPERTIES LABELS wine)

# Start-up on a 16-bit screen: the colour message and nothing else.
add_test(NAME wine_startup_16bit_tests COMMAND wine_startup_tests
  --gtest_also_run_disabled_tests --gtest_filter=*LowColourDepth*)
set_tests_properties(wine_startup_16bit_tests PROPERTIES
  LABELS wine ENVIRONMENT "VELMORA_SCREEN=1024x768x16")
velmora_wine_test(wine_movie_tests wine/MovieWallpaperTest.cpp wine/SystemMovieClockTest.cpp)
target_link_libraries(wine_movie_tests PRIVATE velmora_swf_writer)
# Device text in the system's fonts (GDI).
velmora_wine_test(wine_glyph_tests wine/GdiGlyphSourceTest.cpp)
target_link_libraries(wine_glyph_tests PRIVATE velmora_swf_writer)

# The desktop answering real input, as a top-level window (no shell here) ...
velmora_wine_test(wine_interaction_tests wine/InteractionTest.cpp)
# The pointer on empty desktop reaching the movie's buttons.
velmora_wine_test(wine_movie_pointer_tests wine/MoviePointerTest.cpp)
target_link_libraries(wine_movie_pointer_tests PRIVATE velmora_swf_writer)
velmora_helper_program(progman_standin wine/ProgmanStandIn.cpp wine_interaction_tests)
# ... and as children of a stand-in "Program Manager" window of another process.
add_test(NAME wine_interaction_in_progman_tests COMMAND wine_interaction_tests)
set_tests_properties(wine_interaction_in_progman_tests PROPERTIES
  LABELS wine ENVIRONMENT "VELMORA_PROGMAN=1")

# The shell's item menu and files dropped on the desktop.
velmora_wine_test(wine_shell_tests wine/ShellItemsTest.cpp)

# The drawn controls and the skinned windows.
velmora_wine_test(wine_controls_tests wine/ControlsTest.cpp)

# The settings dialog on a scratch desktop.
velmora_wine_test(wine_settings_dialog_tests wine/SettingsDialogTest.cpp wine/SettingsDialogApplyTest.cpp)

# The wallpaper resting while it cannot be seen, with a full-screen program
# of another process in front.
velmora_wine_test(wine_rest_tests wine/RestTest.cpp)
target_link_libraries(wine_rest_tests PRIVATE velmora_swf_writer)
velmora_helper_program(fullscreen_window wine/FullScreenWindow.cpp wine_rest_tests)

# The shell's desktop window destroyed and made again.
velmora_wine_test(wine_shell_restart_tests wine/ShellRestartTest.cpp)
target_link_libraries(wine_shell_restart_tests PRIVATE velmora_swf_writer)
add_dependencies(wine_shell_restart_tests progman_standin)

# Drops that must lose, damage or hide nothing ...
velmora_wine_test(wine_drop_tests wine/DropSafetyTest.cpp)
# ... among them copies the file system cuts short: every file this program
# writes is limited to 1 MiB, and a write beyond fails as on a full disk.
add_test(NAME wine_short_write_tests COMMAND wine_drop_tests
  --gtest_also_run_disabled_tests --gtest_filter=*CutShort*)
set_tests_properties(wine_short_write_tests PROPERTIES
  LABELS wine ENVIRONMENT "VELMORA_FILE_SIZE_LIMIT_KB=1024")

# Desktop items that must not stop or end the program.
velmora_wine_test(wine_item_safety_tests wine/DesktopItemSafetyTest.cpp)

# The shapes of the shell's desktop windows, built by the stand-in shell.
velmora_wine_test(wine_shell_shape_tests wine/ShellShapeTest.cpp)
target_link_libraries(wine_shell_shape_tests PRIVATE velmora_swf_writer)
add_dependencies(wine_shell_shape_tests progman_standin)

# The desktop at the display's scale: 100, 125 and 150 % (the prefix's
# LogPixels, set by wine-env.sh).
velmora_wine_test(wine_scaling_tests wine/ScalingTest.cpp wine/DialogScalingTest.cpp)
target_link_libraries(wine_scaling_tests PRIVATE velmora_swf_writer)
set_tests_properties(wine_scaling_tests PROPERTIES ENVIRONMENT "VELMORA_LOGPIXELS=96")
foreach(dpi 120 144)
  add_test(NAME wine_scaling_${dpi}_tests COMMAND wine_scaling_tests)
  set_tests_properties(wine_scaling_${dpi}_tests PROPERTIES LABELS wine ENVIRONMENT "VELMORA_LOGPIXELS=${dpi}")
endforeach()

# The desktop over two monitors side by side, on a private Xorg server with
# the dummy driver (scripts/wine-env.sh): the wallpaper on both, an item
# dragged to the second, the second taken away and given back while running.
velmora_wine_test(wine_monitors_tests wine/MonitorsTest.cpp)
target_link_libraries(wine_monitors_tests PRIVATE velmora_swf_writer)
set_tests_properties(wine_monitors_tests PROPERTIES ENVIRONMENT "VELMORA_MONITORS=1024x768,800x600")
add_dependencies(wine_monitors_tests fullscreen_window)
