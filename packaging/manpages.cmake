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

# Every installed program has its manual page, written by hand, in packaging/man/<program>.1.
function(torvika_install_manpage program)
    if(NOT EXISTS ${TORVIKA_PACKAGING_DIR}/man/${program}.1)
        message(FATAL_ERROR "${program} is installed but has no manual page: write "
                            "packaging/man/${program}.1")
    endif()
    torvika_install_gzipped(man/${program}.1 ${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
