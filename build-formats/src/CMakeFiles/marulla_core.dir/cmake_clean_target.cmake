file(REMOVE_RECURSE
  "libmarulla_core.a"
)
