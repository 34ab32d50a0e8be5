# The texts that go into the release zips (scripts/release.sh packs them): for Windows
# users, with CRLF line endings and the project's version, named for Kelto so that
# they replace no file of the chat client's.
set(release_texts ${CMAKE_BINARY_DIR}/release-texts)
configure_file(release/readme.txt.in ${release_texts}/Kelto-README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${release_texts}/Kelto-LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
