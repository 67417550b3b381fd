# Empty compiler generated dependencies file for marulla_core.
# This may be replaced when dependencies are built.
