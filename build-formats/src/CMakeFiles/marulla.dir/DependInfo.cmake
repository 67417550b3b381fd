
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/app/main.cpp" "src/CMakeFiles/marulla.dir/app/main.cpp.o" "gcc" "src/CMakeFiles/marulla.dir/app/main.cpp.o.d"
  "/work/main/build-formats/src/marulla_autogen/mocs_compilation.cpp" "src/CMakeFiles/marulla.dir/marulla_autogen/mocs_compilation.cpp.o" "gcc" "src/CMakeFiles/marulla.dir/marulla_autogen/mocs_compilation.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build-formats/src/CMakeFiles/marulla_ui.dir/DependInfo.cmake"
  "/work/main/build-formats/src/CMakeFiles/marulla_core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
