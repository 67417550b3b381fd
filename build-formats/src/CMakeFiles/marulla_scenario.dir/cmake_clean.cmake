file(REMOVE_RECURSE
  "../bin/marulla_scenario"
  "../bin/marulla_scenario.pdb"
  "CMakeFiles/marulla_scenario_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/marulla_scenario_autogen.dir/ParseCache.txt"
  "marulla_scenario_autogen"
  "CMakeFiles/marulla_scenario.dir/app/scenario_main.cpp.o"
  "CMakeFiles/marulla_scenario.dir/app/scenario_main.cpp.o.d"
  "CMakeFiles/marulla_scenario.dir/marulla_scenario_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/marulla_scenario.dir/marulla_scenario_autogen/mocs_compilation.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marulla_scenario.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
