# cmake --install into STAGE (as DESTDIR) with PREFIX, then checks what a
# desktop and a package need of it.
file(REMOVE_RECURSE ${STAGE})
set(ENV{DESTDIR} ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
set(root ${STAGE}${PREFIX})
set(program ${root}/${PROGRAM_DIR})

function(expect_file path)
    if(NOT EXISTS ${path} OR IS_DIRECTORY ${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endfunction()

# The program folder: everything the program looks for beside itself.
set(expected
    ${program}/KorvelTest ${program}/KorvelJournal ${program}/Base/demo.zip ${program}/Help/guide/index.html
    ${program}/Help/guide/help.css ${root}/bin/korvelbase
    ${root}/share/applications/${APP_ID}.desktop ${root}/share/metainfo/${APP_ID}.metainfo.xml
    ${root}/share/icons/hicolor/scalable/apps/${APP_ID}.svg
    ${root}/share/applications/${JOURNAL_ID}.desktop
    ${root}/share/icons/hicolor/scalable/apps/${JOURNAL_ID}.svg)
if(WITH_CHM)
    list(APPEND expected ${program}/help.chm)
endif()
foreach(path IN LISTS expected)
    expect_file(${path})
endforeach()
file(GLOB literature ${program}/Help/*.htm)
if(NOT literature)
    message(FATAL_ERROR "no literature pages in ${program}/Help")
endif()

# Icons: each PNG is square and as large as its folder says (IHDR width and height).
foreach(id ${APP_ID} ${JOURNAL_ID})
    foreach(size 32 48 64 128 256)
        set(icon ${root}/share/icons/hicolor/${size}x${size}/apps/${id}.png)
        expect_file(${icon})
        file(READ ${icon} header OFFSET 16 LIMIT 8 HEX)
        math(EXPR wanted "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(REPLACE "0x" "" wanted "${wanted}")
        string(LENGTH "${wanted}" digits)
        math(EXPR pad "8 - ${digits}")
        string(REPEAT "0" ${pad} zeros)
        if(NOT header STREQUAL "${zeros}${wanted}${zeros}${wanted}")
            message(FATAL_ERROR "${icon} is not ${size} x ${size}: ${header}")
        endif()
    endforeach()
endforeach()

# Each launcher starts its installed program and names its installed icon.
foreach(launcher "${APP_ID};KorvelTest" "${JOURNAL_ID};KorvelJournal")
    list(GET launcher 0 id)
    list(GET launcher 1 executable)
    set(desktop ${root}/share/applications/${id}.desktop)
    file(STRINGS ${desktop} exec REGEX "^Exec=")
    if(NOT exec STREQUAL "Exec=${PREFIX}/${PROGRAM_DIR}/${executable}")
        message(FATAL_ERROR "launcher ${id} runs '${exec}'")
    endif()
    file(STRINGS ${desktop} icon REGEX "^Icon=")
    if(NOT icon STREQUAL "Icon=${id}")
        message(FATAL_ERROR "launcher ${id} shows '${icon}'")
    endif()
    if(DESKTOP_FILE_VALIDATE)
        execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop}
            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT result EQUAL 0 OR output)
            message(FATAL_ERROR "desktop-file-validate: ${output}")
        endif()
    endif()
endforeach()
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --no-color
                            ${root}/share/metainfo/${APP_ID}.metainfo.xml
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate: ${output}")
    endif()
endif()

# The installed tool reads the installed demo base and finds its pages.
execute_process(COMMAND ${root}/bin/korvelbase check ${program}/Base/demo.zip
                        --help-dir ${program}/Help
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installed korvelbase check failed: ${output}")
endif()
file(REMOVE_RECURSE ${STAGE})
