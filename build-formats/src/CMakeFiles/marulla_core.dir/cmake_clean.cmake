file(REMOVE_RECURSE
  "CMakeFiles/marulla_core.dir/app/errors.cpp.o"
  "CMakeFiles/marulla_core.dir/app/errors.cpp.o.d"
  "CMakeFiles/marulla_core.dir/formats/fields.cpp.o"
  "CMakeFiles/marulla_core.dir/formats/fields.cpp.o.d"
  "CMakeFiles/marulla_core.dir/formats/json.cpp.o"
  "CMakeFiles/marulla_core.dir/formats/json.cpp.o.d"
  "CMakeFiles/marulla_core.dir/formats/mirror.cpp.o"
  "CMakeFiles/marulla_core.dir/formats/mirror.cpp.o.d"
  "CMakeFiles/marulla_core.dir/formats/numtext.cpp.o"
  "CMakeFiles/marulla_core.dir/formats/numtext.cpp.o.d"
  "CMakeFiles/marulla_core.dir/model/model_store.cpp.o"
  "CMakeFiles/marulla_core.dir/model/model_store.cpp.o.d"
  "CMakeFiles/marulla_core.dir/view/canvas.cpp.o"
  "CMakeFiles/marulla_core.dir/view/canvas.cpp.o.d"
  "CMakeFiles/marulla_core.dir/view/recording_canvas.cpp.o"
  "CMakeFiles/marulla_core.dir/view/recording_canvas.cpp.o.d"
  "CMakeFiles/marulla_core.dir/view/rotate.cpp.o"
  "CMakeFiles/marulla_core.dir/view/rotate.cpp.o.d"
  "CMakeFiles/marulla_core.dir/view/view_window.cpp.o"
  "CMakeFiles/marulla_core.dir/view/view_window.cpp.o.d"
  "libmarulla_core.a"
  "libmarulla_core.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marulla_core.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
