# Compiles the message catalogue and the registry scripts into the library:
# tools/rc.py turns them into table rows that frame/ includes, so that the
# library never reads a resource file at run time, and names the messages in
# message_ids.h for the code that reports them. Included by
# ovcbridgesvcs/CMakeLists.txt after ovcbridgesvcs_core is defined.
set(ovc_resources_dir ${CMAKE_CURRENT_LIST_DIR})
set(ovc_resources_out ${OVC_GENERATED_DIR}/ovcbridgesvcs/resources)
set(ovc_rc ${CMAKE_SOURCE_DIR}/tools/rc.py)

# Registry scripts by resource number: the type library, then one per class.
set(ovc_registry_scripts
    100=${ovc_resources_dir}/typelib.rgs
    101=${ovc_resources_dir}/bridge.rgs
    102=${ovc_resources_dir}/linkset.rgs
    103=${ovc_resources_dir}/link.rgs
    104=${ovc_resources_dir}/app.rgs
    105=${ovc_resources_dir}/excelapp.rgs
    106=${ovc_resources_dir}/wordapp.rgs
    107=${ovc_resources_dir}/appcollection.rgs
    108=${ovc_resources_dir}/orvan.rgs)
set(ovc_registry_files ${ovc_registry_scripts})
list(TRANSFORM ovc_registry_files REPLACE "^[0-9]+=" "")

add_custom_command(
  OUTPUT ${ovc_resources_out}/messages.inc ${ovc_resources_out}/message_ids.h
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ovc_resources_out}
  COMMAND ${OVC_PYTHON} ${ovc_rc} messages ${ovc_resources_dir}/messages.txt
          ${ovc_resources_out}/messages.inc ${ovc_resources_out}/message_ids.h
  DEPENDS ${ovc_resources_dir}/messages.txt ${ovc_rc}
  COMMENT "Compiling the message catalogue")
add_custom_command(
  OUTPUT ${ovc_resources_out}/registry_scripts.inc
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ovc_resources_out}
  COMMAND ${OVC_PYTHON} ${ovc_rc} registry ${ovc_resources_out}/registry_scripts.inc
          ${ovc_registry_scripts}
  DEPENDS ${ovc_registry_files} ${ovc_rc}
  COMMENT "Compiling the registry scripts")
target_sources(ovcbridgesvcs_core PRIVATE ${ovc_resources_out}/messages.inc
                                          ${ovc_resources_out}/message_ids.h
                                          ${ovc_resources_out}/registry_scripts.inc)
