# One date stands for a build, the first of:
#   1. $SOURCE_DATE_EPOCH;
#   2. the file SOURCE_DATE_EPOCH at the top of the source tree, which the source archive of
#      make dist carries (the date of the commit it was made from);
#   3. the time of the last commit, but only when the source folder is the top of its own git
#      repository: a source tree unpacked inside some other repository must not take that
#      repository's date.
# The linker writes it as each program's PE time stamp (binutils' ld reads SOURCE_DATE_EPOCH,
# handed to it through CMAKE_<LANG>_LINKER_LAUNCHER), and scripts/package.sh reads it back
# from the cache (VINTREL_BUILD_DATE) for the packages' file and summary times. Build folders
# do not reach the programs either, so two builds of one commit give the same bytes.
#
# As a script, `cmake -DSOURCE_DIR=DIR -P cmake/BuildDate.cmake` prints DIR's build date (an
# empty line when it has none): make dist records it this way.

# vintrel_build_date(SOURCE_DIR OUT_VAR): the build date of a source tree, or "".
function(vintrel_build_date source_dir out)
    set(_date "")
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(_date "$ENV{SOURCE_DATE_EPOCH}")
    elseif(EXISTS "${source_dir}/SOURCE_DATE_EPOCH")
        file(STRINGS "${source_dir}/SOURCE_DATE_EPOCH" _date LIMIT_COUNT 1)
    else()
        find_package(Git QUIET)
        if(GIT_FOUND)
            execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
                WORKING_DIRECTORY ${source_dir} RESULT_VARIABLE _status
                OUTPUT_VARIABLE _top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            get_filename_component(_top "${_top}" REALPATH)
            get_filename_component(_source "${source_dir}" REALPATH)
            if(_status EQUAL 0 AND _top STREQUAL _source)
                execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${source_dir}
                    OUTPUT_VARIABLE _date OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            endif()
        endif()
    endif()
    set(${out} "${_date}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    vintrel_build_date("${SOURCE_DIR}" _date)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${_date}")
    return()
endif()

vintrel_build_date("${CMAKE_SOURCE_DIR}" _date)
if("${_date}" MATCHES "^[0-9]+$")
    set(VINTREL_BUILD_DATE ${_date} CACHE INTERNAL "Build date, seconds since 1970 (UTC)")
    foreach(_lang C CXX)
        set(CMAKE_${_lang}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${_date})
    endforeach()
else()
    unset(VINTREL_BUILD_DATE CACHE)
    message(STATUS "No build date (no SOURCE_DATE_EPOCH, no recorded date, not the top of a git repository): programs carry their link time")
endif()

foreach(_dir ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${_dir}/=>)
endforeach()
