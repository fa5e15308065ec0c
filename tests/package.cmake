# The Debian package through Debian's own checkers (lintian, appstreamcli,
# desktop-file-validate). Builds a Release game of its own in the games layout;
# needs the packages of `scripts/install-deps.sh package`.

add_test(NAME Package.LintianAppStreamAndGamesLayout
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check_package.sh ${CMAKE_CURRENT_BINARY_DIR}/package)
# The longest test: started first, so that the others run beside it.
set_tests_properties(Package.LintianAppStreamAndGamesLayout PROPERTIES LABELS package TIMEOUT 1500 COST 100)

