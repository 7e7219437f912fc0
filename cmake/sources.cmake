# Each source folder lists its own files by glob, so that parallel work on
# different folders never touches a shared list.
function(velandra_glob out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${dir}/*.cpp")
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Sources are UTF-8; the program's text is CP932, as Japanese Windows 2000/XP
# stores it. Only our own targets get this (third-party code would break).
function(velandra_target_options target)
  target_compile_options(${target} PRIVATE
    -finput-charset=UTF-8 -fexec-charset=CP932 -Wall -Wextra)
endfunction()

# windres writes no dependency file: make Velandra.rc depend on the resource
# files and id headers it includes, in the directory that calls this.
function(velandra_rc_depends)
  file(GLOB parts CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/src/ui/win32/*.rc" "${PROJECT_SOURCE_DIR}/src/ui/win32/res/*"
    "${PROJECT_SOURCE_DIR}/src/ui/*.h")
  set_source_files_properties("${PROJECT_SOURCE_DIR}/src/main/Velandra.rc"
    PROPERTIES OBJECT_DEPENDS "${parts}")
endfunction()
