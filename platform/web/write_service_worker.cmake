# Writes the site's service worker from its template, at build time once every other
# file of the site is there: the files to keep offline are the site folder's, and the
# cache is named after their hash, so that each build has its own.
#
# cmake -DSITE=DIR -DTEMPLATE=FILE -DWORKER=NAME -P write_service_worker.cmake
cmake_minimum_required(VERSION 3.25)
foreach(variable SITE TEMPLATE WORKER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "write_service_worker.cmake: ${variable} is not given")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${SITE}")
  message(FATAL_ERROR "write_service_worker.cmake: ${SITE}: not a folder")
endif()

file(GLOB files LIST_DIRECTORIES false RELATIVE "${SITE}" "${SITE}/*")
list(REMOVE_ITEM files "${WORKER}")
list(SORT files)
if(NOT "index.html" IN_LIST files)
  message(FATAL_ERROR "write_service_worker.cmake: ${SITE}: no index.html")
endif()

# Names and contents both count: a renamed file is a new build too.
set(summary "")
set(quoted "")
foreach(file IN LISTS files)
  file(SHA256 "${SITE}/${file}" hash)
  string(APPEND summary "${file} ${hash}\n")
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 hash "${summary}")
string(SUBSTRING "${hash}" 0 16 hash)
set(KARNOLT_CACHE_NAME "karnolt-${hash}")
list(JOIN quoted ", " KARNOLT_CACHE_FILES)
# configure_file leaves an unchanged worker's time alone; the build wants it newer
# than the files it was made from.
configure_file("${TEMPLATE}" "${SITE}/${WORKER}" @ONLY)
file(TOUCH "${SITE}/${WORKER}")
