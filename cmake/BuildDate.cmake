# One date stands for a build: $SOURCE_DATE_EPOCH when it is set, otherwise the time of the
# last commit. The linker writes it as each program's PE time stamp (binutils' ld reads
# SOURCE_DATE_EPOCH), and scripts/package.sh reads it back from the cache (VINTREL_BUILD_DATE)
# for the packages' file and summary times. Build folders do not reach the programs either, so
# two builds of one commit give the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(_date "$ENV{SOURCE_DATE_EPOCH}")
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
            OUTPUT_VARIABLE _date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
endif()

if("${_date}" MATCHES "^[0-9]+$")
    set(VINTREL_BUILD_DATE ${_date} CACHE INTERNAL "Build date, seconds since 1970 (UTC)")
    foreach(_lang C CXX)
        set(CMAKE_${_lang}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${_date})
    endforeach()
else()
    unset(VINTREL_BUILD_DATE CACHE)
    message(STATUS "No build date (no SOURCE_DATE_EPOCH, no git history): programs carry their link time")
endif()

foreach(_dir ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${_dir}/=>)
endforeach()
