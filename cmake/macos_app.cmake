# The macOS application bundle, on a Mac with the real SDK only (included from
# the top CMakeLists.txt under if(APPLE)): the adapters as a library over the
# system frameworks, and Vistarail.app around the entry point.
enable_language(OBJCXX)

set(VISTARAIL_BUNDLE_ID "app.vistarail.Vistarail" CACHE STRING "Bundle identifier")
set(VISTARAIL_VERSION "0.1.0" CACHE STRING "Marketing version (CFBundleShortVersionString)")
set(VISTARAIL_BUILD "1" CACHE STRING "Build number (CFBundleVersion)")
set(VISTARAIL_MINIMUM_MACOS "13.0" CACHE STRING "LSMinimumSystemVersion")

file(GLOB adapter_sources CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/platform/macos/adapters/*.cpp
     ${PROJECT_SOURCE_DIR}/src/platform/macos/adapters/*.mm)
add_library(vistarail_macos_adapters STATIC ${adapter_sources})
target_link_libraries(vistarail_macos_adapters PUBLIC vistarail_platform_macos
  "-framework AppKit" "-framework ApplicationServices" "-framework Carbon"
  "-framework CoreVideo" "-framework QuartzCore" "-framework ServiceManagement")
target_compile_options(vistarail_macos_adapters PRIVATE
  $<$<COMPILE_LANGUAGE:OBJCXX>:-fobjc-arc>)

file(GLOB app_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/main/macos/*.mm)
# Read by the status menu's and the settings window's "Privacy Policy…".
set(app_resources ${PROJECT_SOURCE_DIR}/src/main/macos/PrivacyPolicy.html)
set_source_files_properties(${app_resources} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
add_executable(vistarail MACOSX_BUNDLE ${app_sources} ${app_resources})
target_link_libraries(vistarail PRIVATE vistarail_macos_adapters vistarail_shell)
target_compile_options(vistarail PRIVATE -fobjc-arc)
set_target_properties(vistarail PROPERTIES
  OUTPUT_NAME Vistarail
  MACOSX_BUNDLE_INFO_PLIST ${PROJECT_SOURCE_DIR}/src/main/macos/Info.plist.in
  MACOSX_BUNDLE_GUI_IDENTIFIER ${VISTARAIL_BUNDLE_ID}
  MACOSX_BUNDLE_SHORT_VERSION_STRING ${VISTARAIL_VERSION}
  MACOSX_BUNDLE_BUNDLE_VERSION ${VISTARAIL_BUILD})
