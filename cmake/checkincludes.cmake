cmake_minimum_required(VERSION 3.25)
# Checks the includes of one project folder, as a step of its library's build (cmake -P), again
# whenever one of its files changes. Fails, naming file and line, when a file of the folder
# includes a header of a project folder it may not use (directly or through the folders it uses),
# or anything of the tests, benchmarks or fuzz targets. Every spelling counts: quotes or angle
# brackets, spaces around '#', indentation, and paths through "..".
# Variables: SOURCE_DIR (the project's), FOLDER, FILES, REACHABLE and FOLDERS (comma-separated:
# the files to check, the folders FOLDER may use, itself included, and every product folder),
# STAMP (touched on success).
string(REPLACE "," ";" reachable "${REACHABLE}")
string(REPLACE "," ";" folders "${FOLDERS}")
# The tests' own include folder (support/) is named as the tests name it.
set(never tests bench fuzz support)
string(REPLACE "," ";" files "${FILES}")
set(found "")
foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    get_filename_component(directory ${file} DIRECTORY)
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
            continue()
        endif()
        set(path ${CMAKE_MATCH_1})
        if(path MATCHES "^\\.")
            get_filename_component(path ${path} ABSOLUTE BASE_DIR ${directory})
            file(RELATIVE_PATH path ${SOURCE_DIR} ${path})
        endif()
        if(NOT path MATCHES "^([^/]+)/")
            continue()
        endif()
        set(top ${CMAKE_MATCH_1})
        if(top IN_LIST never OR (top IN_LIST folders AND NOT top IN_LIST reachable))
            file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
            string(STRIP "${line}" line)
            string(APPEND found "  ${name}: '${line}': ${FOLDER}/ may not use ${top}/\n")
        endif()
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "Includes across the folder rule (ARCHITECTURE.md):\n${found}")
endif()
file(TOUCH ${STAMP})
