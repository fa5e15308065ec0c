# The WebAssembly build (make web, in KARNOLT_WEB_BUILD): the replay tool under
# Node.js keeps the native tool's command line and writes the same bytes.
set(KARNOLT_WEB_REPLAY ${KARNOLT_WEB_BUILD}/karnolt-replay.js)
add_test(NAME WebReplay.CommandLine
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/replay/replay_cli_test.sh ${KARNOLT_WEB_REPLAY}
                 ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
add_test(NAME WebReplay.SameBytesAsNative
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/web/same_replay_test.sh $<TARGET_FILE:karnolt-replay>
                 ${KARNOLT_WEB_REPLAY} ${CMAKE_SOURCE_DIR})
set_tests_properties(WebReplay.CommandLine WebReplay.SameBytesAsNative PROPERTIES LABELS web TIMEOUT 600)
