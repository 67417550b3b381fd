# Empty custom commands generated dependencies file for marulla_autogen.
# This may be replaced when dependencies are built.
