# The Windows program: Win32 adapters, windows, resources.
enable_language(RC)
set(VELMORA_STATIC_LINK -static -static-libgcc -static-libstdc++)
# Every program is linked statically: nothing but system DLLs at run time.
add_link_options(${VELMORA_STATIC_LINK} $<$<CONFIG:Release>:-s>)
add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

configure_file(${CMAKE_SOURCE_DIR}/resources/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
set(VELMORA_RESOURCES ${CMAKE_SOURCE_DIR}/resources/Velmora.rc)
# What the resource script includes; source properties belong to a
# directory, so the tests' directory sets them again for its programs.
set(VELMORA_RESOURCE_FILES "${CMAKE_SOURCE_DIR}/resources/Velmora.manifest;${CMAKE_SOURCE_DIR}/resources/Blank.png;${CMAKE_SOURCE_DIR}/resources/Splash.bmp;${CMAKE_SOURCE_DIR}/resources/Velmora.ico;${CMAKE_SOURCE_DIR}/resources/Skin.bmp;${CMAKE_SOURCE_DIR}/resources/ButtonUp.bmp;${CMAKE_SOURCE_DIR}/resources/ButtonDown.bmp;${CMAKE_SOURCE_DIR}/resources/ButtonDisabled.bmp;${CMAKE_SOURCE_DIR}/resources/Splash2x.png;${CMAKE_SOURCE_DIR}/resources/Skin2x.png;${CMAKE_SOURCE_DIR}/resources/ButtonUp2x.png;${CMAKE_SOURCE_DIR}/resources/ButtonDown2x.png;${CMAKE_SOURCE_DIR}/resources/ButtonDisabled2x.png")
set_source_files_properties(${VELMORA_RESOURCES} PROPERTIES OBJECT_DEPENDS "${VELMORA_RESOURCE_FILES}")

# Everything of the program except its entry point, so tests can link it.
add_library(velmora_win STATIC
  common/AppPaths.cpp
  common/EmbeddedResource.cpp
  common/BoundedRead.cpp
  common/FileIdentity.cpp
  common/FileSystem.cpp
  common/FolderTree.cpp
  controls/RgbPictureGdi.cpp
  controls/Transparent.cpp
  controls/ucCustomButton.cpp
  controls/UpDownBox.cpp
  settingsdialog/Skin.cpp
  settingsdialog/SkinnedFrame.cpp
  settingsdialog/PictureBox.cpp
  settingsdialog/MediaListView.cpp
  settingsdialog/SlidePreviewCycle.cpp
  settingsdialog/FrmSetting.cpp
  settingsdialog/FrmSettingControls.cpp
  settingsdialog/FrmSettingLists.cpp
  settingsdialog/FrmSettingApply.cpp
  common/WinText.cpp
  common/SystemNotifications.cpp
  common/Dpi.cpp
  common/Window.cpp
  iconlayer/CDIB.cpp
  iconlayer/GdiPlusPictures.cpp
  iconlayer/PictureFiles.cpp
  iconlayer/ImagePreview.cpp
  iconlayer/LayerPainter.cpp
  iconlayer/FrmShortcut.cpp
  iconlayer/FrmShortcutInput.cpp
  iconlayer/FrmShortcutScale.cpp
  iconlayer/ItemOpening.cpp
  shell/DesktopScan.cpp
  shell/DesktopInventory.cpp
  shell/DesktopWatch.cpp
  shell/DropCommands.cpp
  shell/DropTransfer.cpp
  shell/ItemContextMenu.cpp
  shell/ShellItemIcon.cpp
  shell/FrmMenus.cpp
  shell/ShellNotify.cpp
  shell/Subclassing.cpp
  settings/IniFile.cpp
  settings/SettingsStore.cpp
  settings/ProgramValues.cpp
  settings/Registry.cpp
  settings/MediaLists.cpp
  common/DesktopHost.cpp
  startup/ResourceFiles.cpp
  startup/FrmWaiting.cpp
  startup/DesktopSession.cpp
  startup/Main.cpp
  wallpaper/FrmShortcutBG.cpp
  wallpaper/Slideshow.cpp
  wallpaper/MovieWallpaper.cpp
  wallpaper/ItemRebuild.cpp
  wallpaper/WallpaperRest.cpp
  wallpaper/MoviePlayerWindow.cpp
  wallpaper/GdiGlyphSource.cpp
  wallpaper/SystemMovieClock.cpp
)
target_link_libraries(velmora_win PUBLIC velmora_logic velmora_player gdiplus shlwapi shell32 ole32 oleaut32 uuid comctl32 comdlg32 gdi32 user32 advapi32)

# swf_render draws device text with the system's fonts, as the program does.
target_sources(swf_render PRIVATE wallpaper/GdiGlyphSource.cpp)
target_link_libraries(swf_render PRIVATE velmora_logic gdi32)

add_executable(Velmora WIN32 startup/WinMain.cpp ${VELMORA_RESOURCES})
target_include_directories(Velmora PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(Velmora PRIVATE velmora_win)
target_link_options(Velmora PRIVATE ${VELMORA_STATIC_LINK})

# The controls in each of their states, as pictures (scripts/make-gallery.sh).
add_executable(control_gallery tools/ControlGallery.cpp ${VELMORA_RESOURCES})
target_include_directories(control_gallery PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(control_gallery PRIVATE velmora_win)
target_link_options(control_gallery PRIVATE ${VELMORA_STATIC_LINK})
