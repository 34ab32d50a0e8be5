# Two zips: Kelto itself, to drop beside the chat client's real wadapi.dll, and a
# trial kit that holds Kelto with the simulator and the stand-in library, to unpack
# into one folder. Both hold the same readme, which covers both, so that no two zips
# put different files under one name. The texts are for Windows users: CRLF line
# endings, the project's version.
set(release_texts ${CMAKE_BINARY_DIR}/release-texts)
configure_file(release/readme.txt.in ${release_texts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${release_texts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Kelto RUNTIME DESTINATION . COMPONENT kelto)
install(TARGETS Kelto KeltoChat wadapi RUNTIME DESTINATION . COMPONENT trial)
foreach(component kelto trial)
  install(FILES ${release_texts}/README.txt ${release_texts}/LICENSE.txt DESTINATION .
          COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME Kelto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win32)
set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kelto trial)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
include(CPack)
