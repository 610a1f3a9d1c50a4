# `cmake --install <build> --prefix <folder>`: the shared libraries, the
# engines' and the host's static libraries with the headers they need, and
# the Python module with its type stub. Nothing installed refers to the build
# tree: the libraries find each other through run paths relative to
# themselves, and everything else they need at run time is compiled in.
set(ovc_installed_libraries ovcautomation ovcbridgesvcs ovcbridgesvcs_core orvan_interfaces
    orvan_core office_package office_common office_excel_formula office_excel office_word)
install(TARGETS ${ovc_installed_libraries}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY automation office orvan ovcbridgesvcs ${OVC_GENERATED_DIR}/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ovcbridgesvcs
        FILES_MATCHING PATTERN "*.h")
install(TARGETS ovcbridge_python LIBRARY DESTINATION ${OVC_PYTHON_INSTALL_DIR})
install(FILES $<TARGET_FILE_DIR:ovcbridge_python>/ovcbridge.pyi DESTINATION ${OVC_PYTHON_INSTALL_DIR})
