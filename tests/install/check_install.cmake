# cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(share ${PREFIX}/share)
foreach(path bin/quovel bin/quovel-check share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml share/mime/packages/${APP_ID}.xml
        share/icons/hicolor/scalable/apps/${APP_ID}.svg share/icons/hicolor/48x48/apps/${APP_ID}.png
        share/icons/hicolor/128x128/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png
        share/man/man1/quovel.1.gz share/man/man1/quovel-check.1.gz)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

set(ran 0)
function(run_tool)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    message(STATUS "${ARGN}: ${rc}\n${out}")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}")
    endif()
endfunction()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    run_tool(${DESKTOP_FILE_VALIDATE} ${share}/applications/${APP_ID}.desktop)
    math(EXPR ran "${ran} + 1")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    run_tool(${APPSTREAMCLI} validate --no-net ${share}/metainfo/${APP_ID}.metainfo.xml)
    math(EXPR ran "${ran} + 1")
endif()
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
    # The database is built from the package file: the type must come out of it.
    run_tool(${UPDATE_MIME_DATABASE} ${share}/mime)
    if(NOT EXISTS ${share}/mime/application/x-quovel-list.xml)
        message(FATAL_ERROR "update-mime-database made no application/x-quovel-list")
    endif()
    math(EXPR ran "${ran} + 1")
endif()
if(ran EQUAL 0)
    message(STATUS "SKIP: neither desktop-file-validate, appstreamcli nor update-mime-database is installed")
endif()
