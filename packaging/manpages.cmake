# Installing files compressed the way Debian wants them, and the manual pages. Included from
# the top-level CMakeLists.txt, so every program's own CMakeLists.txt can call
# torvika_install_manpage() as well.
include(GNUInstallDirs)
find_program(TORVIKA_GZIP gzip REQUIRED)
set(TORVIKA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# Configures packaging/<source> (@VARIABLES@ replaced) into the build folder and installs it
# as <installed_name>.gz in <destination>. gzip -9n stores no name and no time stamp, so the
# same text always gives the same bytes.
function(torvika_install_gzipped source installed_name destination)
    set(plain ${CMAKE_BINARY_DIR}/packaging/gz/${installed_name})
    configure_file(${TORVIKA_PACKAGING_DIR}/${source} ${plain} @ONLY)
    execute_process(COMMAND ${TORVIKA_GZIP} -9nkf ${plain} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip failed on ${plain}")
    endif()
    install(FILES ${plain}.gz DESTINATION ${destination})
endfunction()

# Every installed program has its manual page, written by hand, in packaging/man/<name>.<section>
# (section 1 unless SECTION says otherwise: 5 for a file format).
function(torvika_install_manpage name)
    cmake_parse_arguments(M "" "SECTION" "" ${ARGN})
    if(NOT M_SECTION)
        set(M_SECTION 1)
    endif()
    if(NOT EXISTS ${TORVIKA_PACKAGING_DIR}/man/${name}.${M_SECTION})
        message(FATAL_ERROR "${name} is installed but has no manual page: write "
                            "packaging/man/${name}.${M_SECTION}")
    endif()
    torvika_install_gzipped(man/${name}.${M_SECTION} ${name}.${M_SECTION}
                            ${CMAKE_INSTALL_MANDIR}/man${M_SECTION})
endfunction()
