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
# The page in Debian's Chromium (tests/web/browser_test.mjs, playwright-core pinned by
# tests/web/package-lock.json): real mouse and key events, the canvas against the native
# replay tool's pictures for the same actions, the Escape rule, centred and crisp scaling.
add_test(NAME Web.Browser
         COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/browser_test.mjs ${KARNOLT_WEB_BUILD}/site
                 $<TARGET_FILE:karnolt-replay> ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
# The browser wants both cores: frames come slower, and timeouts near, beside other tests.
set_tests_properties(Web.Browser PROPERTIES LABELS web TIMEOUT 600 PROCESSORS 2)
# The page as phones and tablets play it (tests/web/phone_test.mjs): a whole session by
# touch alone at 1024 x 768 and on a phone's 844 x 390 at pixel ratio 3, compared with the
# native replay tool's pictures of the mouse input the touches become (touch.replay); the
# controls beside the picture, a page that stays put, and the game's speed on a 30 Hz display.
add_test(NAME Web.Phone
         COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/phone_test.mjs ${KARNOLT_WEB_BUILD}/site
                 $<TARGET_FILE:karnolt-replay> ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
set_tests_properties(Web.Phone PROPERTIES LABELS web TIMEOUT 600 PROCESSORS 2)
# The page as a home-screen app (tests/web/offline_test.mjs): the manifest and its icons,
# the site's size, and the service worker: played offline after one visit, a rebuilt
# site taken at the next visit.
add_test(NAME Web.Offline
         COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/offline_test.mjs ${KARNOLT_WEB_BUILD}/site
                 $<TARGET_FILE:karnolt-replay> ${CMAKE_SOURCE_DIR}/data/Level1.bmp ${CMAKE_COMMAND}
                 ${CMAKE_SOURCE_DIR}/platform/web/write_service_worker.cmake
                 ${CMAKE_SOURCE_DIR}/platform/web/service_worker.js.in)
# The mouse session in Debian's Firefox ESR over WebDriver BiDi (tests/web/firefox_test.mjs,
# puppeteer-core pinned by tests/web/package-lock.json), against the same native pictures.
add_test(NAME Web.Firefox
         COMMAND node ${CMAKE_CURRENT_SOURCE_DIR}/web/firefox_test.mjs ${KARNOLT_WEB_BUILD}/site
                 $<TARGET_FILE:karnolt-replay> ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
set_tests_properties(Web.Offline Web.Firefox PROPERTIES LABELS web TIMEOUT 600 PROCESSORS 2)
