# Installs the build into a scratch DESTDIR and starts the installed programs from there:
# they must find their files under share/yorbel. The desktop entry and the AppStream
# metainfo go through their validators when those are installed.
#
# cmake -DBUILD_DIR=... -DSCRATCH=... -DAPP_ID=... [-DGUI=ON] -P install_test.cmake

file(REMOVE_RECURSE ${SCRATCH})
set(root ${SCRATCH}/root)
set(ENV{DESTDIR} ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
unset(ENV{DESTDIR})

# A private home, so only the installed files can supply the groups.
set(ENV{HOME} ${SCRATCH}/home)
set(ENV{XDG_DATA_HOME} ${SCRATCH}/home/data)
set(ENV{XDG_CONFIG_HOME} ${SCRATCH}/home/config)
set(share ${root}/usr/share/yorbel)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${status}): ${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Events of a shipped group are shown only when the shipped group file was found.
run(${root}/usr/bin/yorbel-cli occurrences ${share}/examples/Sample.yrb --year 2027
    --format json)
if(NOT out MATCHES "\"shown\":true")
  message(FATAL_ERROR "the installed yorbel-cli did not find its group file:\n${out}")
endif()

# The holiday calendars come with the note of what they leave out.
foreach(note Feiertage_Deutschland_Laender Feiertage_Oesterreich Feiertage_Schweiz)
  if(NOT EXISTS ${share}/examples/${note}.md OR NOT EXISTS ${share}/examples/${note}.yrb)
    message(FATAL_ERROR "the holiday calendar ${note} or its note is not installed")
  endif()
endforeach()

if(GUI)
  run(${root}/usr/bin/yorbel-cli render ${share}/examples/Sample.yrb --year 2027
      -o ${SCRATCH}/year.pdf)
  foreach(page de/index.html en/index.html de/start.html en/start.html)
    if(NOT EXISTS ${share}/help/${page})
      message(FATAL_ERROR "the manual's page ${page} is not installed")
    endif()
  endforeach()
  # On a first start the program opens a sample calendar found beside it.
  set(ENV{QT_QPA_PLATFORM} offscreen)
  set(ENV{YORBEL_STARTUP_PROBE} 1)
  run(${root}/usr/bin/yorbel)
  if(NOT out MATCHES "first year window painted")
    message(FATAL_ERROR "the installed yorbel opened no sample calendar: ${out}")
  endif()
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  run(${DESKTOP_FILE_VALIDATE} ${root}/usr/share/applications/${APP_ID}.desktop)
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  run(${APPSTREAMCLI} validate --no-net ${root}/usr/share/metainfo/${APP_ID}.metainfo.xml)
endif()
file(REMOVE_RECURSE ${SCRATCH})
