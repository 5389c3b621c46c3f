# Run by CPack on the staged files before the package is made: as Debian's own tools do, drop
# the compilers' .comment section, which only names their versions.
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*"
     "${CPACK_TEMPORARY_DIRECTORY}/usr/lib/*.so")
foreach(program IN LISTS programs)
    execute_process(COMMAND objcopy --remove-section=.comment ${program} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "objcopy failed on ${program}")
    endif()
endforeach()
