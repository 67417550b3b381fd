file(REMOVE_RECURSE
  "CMakeFiles/marulla_ui_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/marulla_ui_autogen.dir/ParseCache.txt"
  "marulla_ui_autogen"
  "CMakeFiles/marulla_ui.dir/app/form2.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/form2.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/form4.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/form4.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/form_window.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/form_window.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/forms.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/forms.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/frm_splash.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/frm_splash.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/qt_canvas.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/qt_canvas.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/qt_controls.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/qt_controls.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/app/qt_scenario.cpp.o"
  "CMakeFiles/marulla_ui.dir/app/qt_scenario.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/marulla_ui_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/marulla_ui.dir/marulla_ui_autogen/mocs_compilation.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/model/form2_design.cpp.o"
  "CMakeFiles/marulla_ui.dir/model/form2_design.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/post/form1.cpp.o"
  "CMakeFiles/marulla_ui.dir/post/form1.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/view/form2_view.cpp.o"
  "CMakeFiles/marulla_ui.dir/view/form2_view.cpp.o.d"
  "CMakeFiles/marulla_ui.dir/view/form_view.cpp.o"
  "CMakeFiles/marulla_ui.dir/view/form_view.cpp.o.d"
  "libmarulla_ui.a"
  "libmarulla_ui.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marulla_ui.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
