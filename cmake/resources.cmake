# Windows resources: the manifest is written per build (its processor
# architecture must match the executable's), and vor_compile_resources
# compiles a UTF-8 resource script with the version numbers defined.
if(NOT VOR_WIN32)
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VOR_MANIFEST_ARCH amd64)
else()
  set(VOR_MANIFEST_ARCH x86)
endif()
set(VOR_VERSION ${PROJECT_VERSION})
set(VOR_GENERATED_RESOURCES ${CMAKE_BINARY_DIR}/resources)
configure_file(${CMAKE_SOURCE_DIR}/resources/vor.manifest.in ${VOR_GENERATED_RESOURCES}/vor.manifest @ONLY)

# vor_compile_resources(OUT_OBJECT SCRIPT): OUT_OBJECT is the COFF object of
# SCRIPT (a file in resources/), rebuilt when any resource input changes.
function(vor_compile_resources out script)
  set(res_dir ${CMAKE_SOURCE_DIR}/resources)
  file(GLOB inputs CONFIGURE_DEPENDS ${res_dir}/*.rc ${res_dir}/*.ico ${res_dir}/*.png ${res_dir}/*.in)
  get_filename_component(name ${script} NAME_WE)
  set(obj ${CMAKE_CURRENT_BINARY_DIR}/${name}_res.o)
  add_custom_command(
    OUTPUT ${obj}
    COMMAND ${CMAKE_RC_COMPILER} -c 65001 -I ${VOR_GENERATED_RESOURCES} -I ${res_dir}
            -DVOR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} -DVOR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
            -DVOR_VERSION_PATCH=${PROJECT_VERSION_PATCH} "-DVOR_VERSION_TEXT=\\\"${PROJECT_VERSION}\\\""
            -i ${res_dir}/${script} -o ${obj} -O coff
    DEPENDS ${inputs} ${VOR_GENERATED_RESOURCES}/vor.manifest
    WORKING_DIRECTORY ${VOR_GENERATED_RESOURCES}
    COMMENT "Compiling the resources of ${script}"
    VERBATIM)
  set_source_files_properties(${obj} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  set(${out} ${obj} PARENT_SCOPE)
endfunction()
