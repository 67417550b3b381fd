
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/app/form2.cpp" "src/CMakeFiles/marulla_ui.dir/app/form2.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/form2.cpp.o.d"
  "/work/main/src/app/form4.cpp" "src/CMakeFiles/marulla_ui.dir/app/form4.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/form4.cpp.o.d"
  "/work/main/src/app/form_window.cpp" "src/CMakeFiles/marulla_ui.dir/app/form_window.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/form_window.cpp.o.d"
  "/work/main/src/app/forms.cpp" "src/CMakeFiles/marulla_ui.dir/app/forms.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/forms.cpp.o.d"
  "/work/main/src/app/frm_splash.cpp" "src/CMakeFiles/marulla_ui.dir/app/frm_splash.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/frm_splash.cpp.o.d"
  "/work/main/src/app/qt_canvas.cpp" "src/CMakeFiles/marulla_ui.dir/app/qt_canvas.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/qt_canvas.cpp.o.d"
  "/work/main/src/app/qt_controls.cpp" "src/CMakeFiles/marulla_ui.dir/app/qt_controls.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/qt_controls.cpp.o.d"
  "/work/main/src/app/qt_scenario.cpp" "src/CMakeFiles/marulla_ui.dir/app/qt_scenario.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/app/qt_scenario.cpp.o.d"
  "/work/main/build-formats/src/marulla_ui_autogen/mocs_compilation.cpp" "src/CMakeFiles/marulla_ui.dir/marulla_ui_autogen/mocs_compilation.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/marulla_ui_autogen/mocs_compilation.cpp.o.d"
  "/work/main/src/model/form2_design.cpp" "src/CMakeFiles/marulla_ui.dir/model/form2_design.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/model/form2_design.cpp.o.d"
  "/work/main/src/post/form1.cpp" "src/CMakeFiles/marulla_ui.dir/post/form1.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/post/form1.cpp.o.d"
  "/work/main/src/view/form2_view.cpp" "src/CMakeFiles/marulla_ui.dir/view/form2_view.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/view/form2_view.cpp.o.d"
  "/work/main/src/view/form_view.cpp" "src/CMakeFiles/marulla_ui.dir/view/form_view.cpp.o" "gcc" "src/CMakeFiles/marulla_ui.dir/view/form_view.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build-formats/src/CMakeFiles/marulla_core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
