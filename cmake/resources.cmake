# Resources are written once as .rc files. The Windows builds link them the usual way; the Linux builds
# compile them to a .res with the mingw windres and embed that file, which the simulator's resource
# functions read.
if(WIN32)
  enable_language(RC)
else()
  find_program(TARNO_WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres windres REQUIRED)
endif()

# tarno_resources(TARGET RCFILE [DEPENDS files...])
function(tarno_resources target rcfile)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  get_filename_component(rc_abs ${rcfile} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)
  get_filename_component(rc_name ${rc_abs} NAME_WE)
  if(WIN32)
    target_sources(${target} PRIVATE ${rc_abs})
    set_property(SOURCE ${rc_abs} APPEND PROPERTY OBJECT_DEPENDS ${ARG_DEPENDS})
  else()
    # Named after the target too, so that several targets of one folder can embed the same script.
    set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_name}.res)
    set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rc_name}_res.cpp)
    add_custom_command(OUTPUT ${res}
      COMMAND ${TARNO_WINDRES} -O res -I ${rc_dir} -I ${CMAKE_SOURCE_DIR} -i ${rc_abs} -o ${res}
      DEPENDS ${rc_abs} ${ARG_DEPENDS}
      WORKING_DIRECTORY ${rc_dir}
      COMMENT "Compiling resources ${rc_name}.rc")
    add_custom_command(OUTPUT ${cpp}
      COMMAND embedres ${res} ${cpp}
      DEPENDS embedres ${res}
      COMMENT "Embedding ${rc_name}.res")
    target_sources(${target} PRIVATE ${cpp})
  endif()
endfunction()
