
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/app/errors.cpp" "src/CMakeFiles/marulla_core.dir/app/errors.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/app/errors.cpp.o.d"
  "/work/main/src/formats/fields.cpp" "src/CMakeFiles/marulla_core.dir/formats/fields.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/formats/fields.cpp.o.d"
  "/work/main/src/formats/json.cpp" "src/CMakeFiles/marulla_core.dir/formats/json.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/formats/json.cpp.o.d"
  "/work/main/src/formats/mirror.cpp" "src/CMakeFiles/marulla_core.dir/formats/mirror.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/formats/mirror.cpp.o.d"
  "/work/main/src/formats/numtext.cpp" "src/CMakeFiles/marulla_core.dir/formats/numtext.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/formats/numtext.cpp.o.d"
  "/work/main/src/model/model_store.cpp" "src/CMakeFiles/marulla_core.dir/model/model_store.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/model/model_store.cpp.o.d"
  "/work/main/src/view/canvas.cpp" "src/CMakeFiles/marulla_core.dir/view/canvas.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/view/canvas.cpp.o.d"
  "/work/main/src/view/recording_canvas.cpp" "src/CMakeFiles/marulla_core.dir/view/recording_canvas.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/view/recording_canvas.cpp.o.d"
  "/work/main/src/view/rotate.cpp" "src/CMakeFiles/marulla_core.dir/view/rotate.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/view/rotate.cpp.o.d"
  "/work/main/src/view/view_window.cpp" "src/CMakeFiles/marulla_core.dir/view/view_window.cpp.o" "gcc" "src/CMakeFiles/marulla_core.dir/view/view_window.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
