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
# The page in Debian's browsers, each against the native replay tool's pictures for the
# same actions (tests/web/*_test.mjs; playwright-core and puppeteer-core pinned by
# tests/web/package-lock.json):
# - Browser: Chromium with real mouse and key events, the Escape rule, centred and crisp scaling.
# - Phone: the page as phones and tablets play it: a whole session by touch alone at 1024 x 768
#   and on a phone's 844 x 390 at pixel ratio 3, compared with the mouse input the touches
#   become (touch.replay); the controls beside the picture, a page that stays put, and the
#   game's speed on a 30 Hz display.
# - Offline: the page as a home-screen app: the manifest and its icons, the site's size, and the
#   service worker: played offline after one visit, a rebuilt site taken at the next visit.
# - Firefox: the mouse session in Debian's Firefox ESR over WebDriver BiDi.
# The browsers want both cores: frames come slower, and timeouts near, beside other tests.
foreach(page Browser Phone Offline Firefox)
  string(TOLOWER ${page} script)
  set(extra)
  if(page STREQUAL "Offline")  # the service worker is rebuilt as the site's build writes it
    set(extra ${CMAKE_COMMAND} ${CMAKE_SOURCE_DIR}/platform/web/write_service_worker.cmake
              ${CMAKE_SOURCE_DIR}/platform/web/service_worker.js.in)
  endif()
  add_test(NAME Web.${page} COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/${script}_test.mjs ${KARNOLT_WEB_BUILD}/site
                                    $<TARGET_FILE:karnolt-replay> ${CMAKE_SOURCE_DIR}/data/Level1.bmp ${extra})
  set_tests_properties(Web.${page} PROPERTIES LABELS web TIMEOUT 600 PROCESSORS 2)
endforeach()
