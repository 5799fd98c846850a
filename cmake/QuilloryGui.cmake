# The Qt application: the static library quillory_gui holds every Qt source but main(); the executable
# quillory is main() alone, so that the Qt tests link the same code the program runs.
# The preview pane shows web pages, folders and media through QtWebEngine; the shell operations talk to the
# file manager over D-Bus.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets WebEngineWidgets DBus)
# The browser capture reads Firefox's LZ4 session store and the X11 window titles.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLORY_DESKTOP REQUIRED IMPORTED_TARGET liblz4 xcb)

set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

set(QUILLORY_GUI_SOURCES "")
foreach(dir IN LISTS QUILLORY_GUI_DIRS)
    file(GLOB dir_sources CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
    list(APPEND QUILLORY_GUI_SOURCES ${dir_sources})
endforeach()
list(REMOVE_ITEM QUILLORY_GUI_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)

add_library(quillory_gui STATIC ${QUILLORY_GUI_SOURCES})
target_link_libraries(quillory_gui PUBLIC quillory_core Qt6::Widgets Qt6::WebEngineWidgets Qt6::DBus
    PRIVATE PkgConfig::QUILLORY_DESKTOP)
target_include_directories(quillory_gui PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(quillory_gui PUBLIC QT_NO_KEYWORDS
    QUILLORY_DATA_INSTALL_DIR="${CMAKE_INSTALL_FULL_DATADIR}/quillory")

add_executable(quillory ${CMAKE_SOURCE_DIR}/app/main.cpp)
target_link_libraries(quillory PRIVATE quillory_gui)
set_target_properties(quillory PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The helper that runs the image plug-ins, so that a plug-in that crashes, exits or hangs takes only the
# helper down. Plain C++ without Qt; the program finds it beside itself, tests and benchmarks in the build folder.
add_executable(quillory-spi-host ${CMAKE_SOURCE_DIR}/preview/spihost/main.cpp
    ${CMAKE_SOURCE_DIR}/preview/CSPIHostServer.cpp ${CMAKE_SOURCE_DIR}/preview/CSPICore.cpp
    ${CMAKE_SOURCE_DIR}/preview/CSPIBitmap.cpp ${CMAKE_SOURCE_DIR}/preview/CSPIProtocol.cpp)
target_link_libraries(quillory-spi-host PRIVATE quillory_core ${CMAKE_DL_LIBS})
set_target_properties(quillory-spi-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} AUTOMOC OFF)
add_dependencies(quillory_gui quillory-spi-host)
set_source_files_properties(${CMAKE_SOURCE_DIR}/preview/CSPIControl.cpp PROPERTIES
    COMPILE_DEFINITIONS QUILLORY_SPI_HOST_BUILD_PATH="${CMAKE_BINARY_DIR}/quillory-spi-host")

# The native messaging host that the browser extension reports the shown page to. Qt Core for its JSON;
# found like quillory-spi-host: beside the program, else in the build folder.
add_executable(quillory-browser-host ${CMAKE_SOURCE_DIR}/desktop/browserhost/main.cpp
    ${CMAKE_SOURCE_DIR}/desktop/browserhost/CBrowserHost.cpp
    ${CMAKE_SOURCE_DIR}/desktop/browserhost/CBrowserHostMessage.cpp
    ${CMAKE_SOURCE_DIR}/desktop/CBrowserHostState.cpp ${CMAKE_SOURCE_DIR}/desktop/CSessionFile.cpp)
target_link_libraries(quillory-browser-host PRIVATE quillory_core Qt6::Core)
target_include_directories(quillory-browser-host PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(quillory-browser-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} AUTOMOC OFF)
add_dependencies(quillory_gui quillory-browser-host)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/desktop/CBrowserHostInstaller.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    QUILLORY_BROWSER_HOST_BUILD_PATH="${CMAKE_BINARY_DIR}/quillory-browser-host" QUILLORY_BUILD_DIR="${CMAKE_BINARY_DIR}")

# The browser extension, as a folder beside the built program (for the Chromium family, which loads it
# unpacked) and packed for Firefox (a zip with manifest.json at its root).
set(QUILLORY_EXTENSION_DIR ${CMAKE_SOURCE_DIR}/data/browser-extension)
file(GLOB_RECURSE QUILLORY_EXTENSION_FILES CONFIGURE_DEPENDS RELATIVE ${QUILLORY_EXTENSION_DIR}
    ${QUILLORY_EXTENSION_DIR}/*)
if(QUILLORY_EXTENSION_FILES)
    list(SORT QUILLORY_EXTENSION_FILES)
    list(TRANSFORM QUILLORY_EXTENSION_FILES PREPEND ${QUILLORY_EXTENSION_DIR}/ OUTPUT_VARIABLE extension_sources)
    set(extension_build_dir ${CMAKE_BINARY_DIR}/browser-extension)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/quillory-capture.xpi
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${extension_build_dir} ${CMAKE_BINARY_DIR}/quillory-capture.xpi
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUILLORY_EXTENSION_DIR} ${extension_build_dir}
        COMMAND ${CMAKE_COMMAND} -E chdir ${extension_build_dir}
            ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/quillory-capture.xpi --format=zip -- ${QUILLORY_EXTENSION_FILES}
        DEPENDS ${extension_sources}
        COMMENT "Packing the browser extension")
    add_custom_target(quillory_browser_extension ALL DEPENDS ${CMAKE_BINARY_DIR}/quillory-capture.xpi)
    add_dependencies(quillory quillory_browser_extension)
    install(DIRECTORY ${QUILLORY_EXTENSION_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillory/browser-extension)
    install(FILES ${CMAKE_BINARY_DIR}/quillory-capture.xpi DESTINATION ${CMAKE_INSTALL_DATADIR}/quillory)
endif()

# The help pages sit beside the built program (build/help), as they sit in the data folder of an install.
add_custom_target(quillory_help ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/help ${CMAKE_BINARY_DIR}/help
    COMMENT "Copying the help pages")
add_dependencies(quillory quillory_help)

# A system-wide install: the program, its data (help pages, sample catalog), the desktop entry, the icon and
# the catalog's MIME type.
install(TARGETS quillory quillory-spi-host quillory-browser-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help DESTINATION ${CMAKE_INSTALL_DATADIR}/quillory)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/sample DESTINATION ${CMAKE_INSTALL_DATADIR}/quillory OPTIONAL)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/quillory.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/quillory-catalog.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/quillory.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/quillory.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes RENAME application-x-quillory-catalog.svg)
install(CODE "execute_process(COMMAND update-mime-database \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_DATADIR}/mime\" ERROR_QUIET)")
