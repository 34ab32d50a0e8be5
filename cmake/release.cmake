# Two zips: Kelto itself, to drop beside the chat client's real wadapi.dll, and a
# trial kit with the simulator and the stand-in library.
install(TARGETS Kelto RUNTIME DESTINATION . COMPONENT kelto)
install(FILES README.md LICENSE DESTINATION . COMPONENT kelto)
install(TARGETS KeltoChat wadapi RUNTIME DESTINATION . COMPONENT trial)
install(FILES LICENSE DESTINATION . COMPONENT trial)

set(CPACK_PACKAGE_NAME Kelto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win32)
set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kelto trial)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
include(CPack)
