file(REMOVE_RECURSE
  "../bin/marulla"
  "../bin/marulla.pdb"
  "CMakeFiles/marulla_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/marulla_autogen.dir/ParseCache.txt"
  "marulla_autogen"
  "CMakeFiles/marulla.dir/app/main.cpp.o"
  "CMakeFiles/marulla.dir/app/main.cpp.o.d"
  "CMakeFiles/marulla.dir/marulla_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/marulla.dir/marulla_autogen/mocs_compilation.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marulla.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
