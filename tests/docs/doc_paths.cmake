cmake_minimum_required(VERSION 3.20)
# Fails when a document names a repository path that does not exist. A path
# is a backtick span made of path characters that holds a '/' or ends in a
# file extension of the tree's sources. A span with placeholders in angle
# brackets (drivers/<name>.cpp) must match at least one file with each
# placeholder read as '*'; a bare file name (test.sh, gdi.cpp) may stand in
# any folder. Build folders do not count.
#   cmake -DDOC=<markdown file> -DROOT=<source dir> [-DMIN_PATHS=n] -P doc_paths.cmake
foreach(var DOC ROOT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "doc_paths: ${var} not set")
  endif()
endforeach()
if(NOT DEFINED MIN_PATHS)
  set(MIN_PATHS 1)
endif()

set(extensions "c|h|cpp|cmake|sh|md|txt|in|supp|png|bmp|map")

# True when the path (placeholders already made '*') names something in the
# tree outside build folders.
function(path_exists path out)
  if(path MATCHES "/")
    string(REGEX REPLACE "/$" "" path "${path}")
    file(GLOB found LIST_DIRECTORIES true "${ROOT}/${path}")
  else()
    file(GLOB_RECURSE found LIST_DIRECTORIES false "${ROOT}/${path}")
  endif()
  list(FILTER found EXCLUDE REGEX "^${ROOT}/(build[^/]*|\\.git)/")
  if(found)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

file(STRINGS "${DOC}" lines)
set(checked 0)
set(missing FALSE)
foreach(line IN LISTS lines)
  string(REGEX MATCHALL "`[^`]+`" spans "${line}")
  foreach(span IN LISTS spans)
    string(REGEX REPLACE "^`(.*)`$" "\\1" name "${span}")
    if(NOT name MATCHES "^[A-Za-z0-9_<][A-Za-z0-9_./<>+-]*$")
      continue()
    endif()
    if(NOT name MATCHES "/" AND NOT name MATCHES "\\.(${extensions})$")
      continue()
    endif()
    string(REGEX REPLACE "<[^>]*>" "*" pattern "${name}")
    path_exists("${pattern}" exists)
    math(EXPR checked "${checked} + 1")
    if(NOT exists)
      message(SEND_ERROR "missing path: ${name}")
      set(missing TRUE)
    endif()
  endforeach()
endforeach()

if(missing)
  message(FATAL_ERROR "${DOC} names paths that do not exist")
endif()
if(checked LESS MIN_PATHS)
  message(FATAL_ERROR "only ${checked} paths found in ${DOC}; expected at least ${MIN_PATHS}")
endif()
message(STATUS "all ${checked} paths named in ${DOC} exist")
