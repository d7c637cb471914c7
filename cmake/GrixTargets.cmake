# How every target of the project is made: our warnings on each target, and
# the library as one static library per layer.

# grix_warnings(TARGET): the project's warning flags (errors with
# GRIX_WERROR) on one target, so targets built from code that is not ours
# keep their own.
function(grix_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # GCC 12 warns falsely about std::string's own copies in optimised
    # builds (GCC bug 105329), natively and in mingw-w64 alike.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(GRIX_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# grix_add_layer(NAME SOURCES ... [DEPS ...]): the folder NAME as the static
# library grix_NAME, linking only DEPS (the layers below it it uses, and
# outside libraries). Its headers are included as "NAME/header.h" through a
# folder of the build tree that holds this one folder alone, so a layer that
# includes a header of a layer it does not link fails to compile instead of
# quietly reaching up.
function(grix_add_layer layer)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  set(target grix_${layer})
  add_library(${target} STATIC ${ARG_SOURCES})
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${layer} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  grix_warnings(${target})
  set_property(GLOBAL APPEND PROPERTY GRIX_LAYERS ${target})
endfunction()
