# Empty dependencies file for marulla_scenario.
# This may be replaced when dependencies are built.
