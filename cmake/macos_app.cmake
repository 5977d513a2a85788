# The macOS application bundle, on a Mac with the real SDK only (included from
# the top CMakeLists.txt under if(APPLE)): the adapters as a library over the
# system frameworks, and Vistarail.app around the entry point.
enable_language(OBJCXX)

set(VISTARAIL_BUNDLE_ID "app.vistarail.Vistarail" CACHE STRING "Bundle identifier")
set(VISTARAIL_VERSION "0.1.0" CACHE STRING "Marketing version (CFBundleShortVersionString)")
set(VISTARAIL_BUILD "1" CACHE STRING "Build number (CFBundleVersion)")
set(VISTARAIL_MINIMUM_MACOS "13.0" CACHE STRING "LSMinimumSystemVersion")
# The customer release checks for updates with Sparkle 2: give the folder
# holding Sparkle.framework; without it the updater reports it is unavailable.
set(VISTARAIL_SPARKLE_DIR "" CACHE PATH "Folder with Sparkle.framework (the customer release)")
set(VISTARAIL_UPDATE_FEED_URL "" CACHE STRING "The update feed (SUFeedURL)")
set(VISTARAIL_UPDATE_PUBLIC_KEY "" CACHE STRING "The updates' EdDSA public key (SUPublicEDKey)")

file(GLOB adapter_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/platform/macos/adapters/*.cpp
     ${PROJECT_SOURCE_DIR}/src/platform/macos/adapters/*.mm)
add_library(vistarail_macos_adapters STATIC ${adapter_sources})
target_link_libraries(vistarail_macos_adapters PUBLIC vistarail_platform_macos
  "-framework AppKit" "-framework ApplicationServices" "-framework Carbon"
  "-framework CoreVideo" "-framework QuartzCore" "-framework ServiceManagement")
target_compile_options(vistarail_macos_adapters PRIVATE
  $<$<COMPILE_LANGUAGE:OBJCXX>:-fobjc-arc>)
if(VISTARAIL_SPARKLE_DIR)
  target_compile_definitions(vistarail_macos_adapters PRIVATE VISTARAIL_WITH_SPARKLE=1)
  target_compile_options(vistarail_macos_adapters PRIVATE -F${VISTARAIL_SPARKLE_DIR})
  target_link_options(vistarail_macos_adapters PUBLIC -F${VISTARAIL_SPARKLE_DIR}
                      "SHELL:-framework Sparkle" -Wl,-rpath,@executable_path/../Frameworks)
endif()

file(GLOB app_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/main/macos/*.mm)
# Read by the status menu's and the settings window's "Privacy Policy…".
set(app_resources ${PROJECT_SOURCE_DIR}/src/main/macos/PrivacyPolicy.html)
set_source_files_properties(${app_resources} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
add_executable(vistarail MACOSX_BUNDLE ${app_sources} ${app_resources})
target_link_libraries(vistarail PRIVATE vistarail_macos_adapters vistarail_shell)
target_compile_options(vistarail PRIVATE -fobjc-arc)
if(VISTARAIL_SPARKLE_DIR)
  # Sparkle.framework goes into Contents/Frameworks, where the rpath finds it.
  add_custom_command(TARGET vistarail POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_BUNDLE_CONTENT_DIR:vistarail>/Frameworks
    COMMAND ditto ${VISTARAIL_SPARKLE_DIR}/Sparkle.framework
            $<TARGET_BUNDLE_CONTENT_DIR:vistarail>/Frameworks/Sparkle.framework)
endif()
set_target_properties(vistarail PROPERTIES
  OUTPUT_NAME Vistarail
  MACOSX_BUNDLE_INFO_PLIST ${PROJECT_SOURCE_DIR}/src/main/macos/Info.plist.in
  MACOSX_BUNDLE_GUI_IDENTIFIER ${VISTARAIL_BUNDLE_ID}
  MACOSX_BUNDLE_SHORT_VERSION_STRING ${VISTARAIL_VERSION}
  MACOSX_BUNDLE_BUNDLE_VERSION ${VISTARAIL_BUILD})
