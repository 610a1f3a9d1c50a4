# ovc_idl(<target> <source.idl>): compiles a type library source into
# <build>/generated/<dir>/<name>.h and <name>_typeinfo.cpp, <dir> being the
# source's folder in the tree, and adds them to <target>. Code includes the
# header as "<dir>/<name>.h". An optional DISPIDS <table> makes the build fail
# when a member's DISPID differs from the one that table gives its name; an
# optional NAMESPACE <ns> puts the generated declarations there (default ovc).
set(OVC_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

function(ovc_idl target idl)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "DISPIDS;NAMESPACE" "")
  set(midl_args "")
  if(arg_DISPIDS)
    set(midl_args --dispids ${arg_DISPIDS})
  endif()
  if(arg_NAMESPACE)
    list(APPEND midl_args --namespace ${arg_NAMESPACE})
  endif()
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl_dir ${CMAKE_CURRENT_SOURCE_DIR}/${idl} DIRECTORY)
  file(RELATIVE_PATH rel_dir ${CMAKE_SOURCE_DIR} ${idl_dir})
  set(out_dir ${OVC_GENERATED_DIR}/${rel_dir})
  set(header ${out_dir}/${name}.h)
  set(source ${out_dir}/${name}_typeinfo.cpp)
  get_property(compiled GLOBAL PROPERTY OVC_IDL_COMPILED)
  if(NOT "${header}" IN_LIST compiled)
    set_property(GLOBAL APPEND PROPERTY OVC_IDL_COMPILED ${header})
    add_custom_command(
    OUTPUT ${header} ${source}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${OVC_PYTHON} ${CMAKE_SOURCE_DIR}/tools/midl.py ${CMAKE_CURRENT_SOURCE_DIR}/${idl}
            --header ${header} --cpp ${source} --include-as ${rel_dir}/${name}.h ${midl_args}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${idl} ${CMAKE_SOURCE_DIR}/tools/midl.py ${arg_DISPIDS}
    COMMENT "Compiling type library source ${idl}")
  endif()
  target_sources(${target} PRIVATE ${header} ${source})
  target_include_directories(${target} PUBLIC ${OVC_GENERATED_DIR})
endfunction()
