# kiv_library(TARGET NAME sources...): one library of the project, built from
# the folder it is declared in. Others reach its headers as "NAME/Header.h",
# and only through linking it: each library has an include directory of its
# own in the build tree, holding a link named NAME to its folder, so that a
# header of a library that is not linked (one above it) is not found, and a
# dependency the wrong way does not build.
function(kiv_library target name)
  add_library(${target} STATIC ${ARGN})
  kiv_headers(${target} ${name} ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# The include directory of target in which NAME names directory.
function(kiv_headers target name directory)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${directory} ${root}/${name} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
